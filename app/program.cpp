#include "app/program.hpp"

#include <algorithm>

#include "app/desktop_keys.hpp"
#include "app/input_routing.hpp"
#include "platform/clock.hpp"
#include "platform/display_device.hpp"
#include "platform/random.hpp"
#include "replay/replay_file.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

constexpr std::uint32_t kInactiveWaitMs = 250;
constexpr std::uint32_t kJoinTimersMs = 2;

}  // namespace

const Program::MessageEntry Program::kMessageTable[8] = {
    {win::WM_ACTIVATE, &Program::onActivate},    {win::WM_KEYDOWN, &Program::onKeyDown},
    {win::WM_KEYUP, &Program::onKeyUp},          {win::WM_SETFOCUS, &Program::onSetFocus},
    {win::WM_KILLFOCUS, &Program::onKillFocus},  {win::WM_LBUTTONDOWN, &Program::onPenDown},
    {win::WM_MOUSEMOVE, &Program::onPenMove},    {win::WM_LBUTTONUP, &Program::onPenUp},
};

Program::Program() = default;

Program::~Program() {
  if (app_) shutDown();
}

bool Program::startUp() {
  shell::ProcessState& p = shell::process();
  p.running = true;
  p.active = true;
  p.soundOn = 1;
  p.musicOn = 0;
  p.penDown = false;
  p.muted = false;
  p.scoreDisplay = std::make_unique<shell::NumberDisplay>(115);
  platform::seedRandom(platform::tickCount());
  display_ = std::make_unique<gfx::Display>();
  drawTimer_ = std::make_unique<shell::FrameTimer>(10);
  updateTimer_ = std::make_unique<shell::FrameTimer>(10);
  shell::loadSharedAssets();
  app_ = std::make_unique<GameApp>();
  display_->present(app_->backBuffer());
  app_->createScreens();
  gameRecorder_ = std::make_unique<GameRecorder>(*app_);
  app_->setObserver(gameRecorder_.get());
  return true;
}

void Program::tick() {
  if (!shell::process().active) return;
  display_->present(app_->backBuffer());
  if (recorder_ != nullptr) {
    if (!updateTimer_->due()) return;
    gameRecorder_->update();
    app_->update(10);
    gameRecorder_->draw();
    app_->draw();
    recorder_->countPass();
    gameRecorder_->endOfPass();
    return;
  }
  if (updateTimer_->due()) {
    gameRecorder_->update();
    app_->update(10);
  }
  if (drawTimer_->due()) {
    gameRecorder_->draw();
    app_->draw();
  }
  gameRecorder_->endOfPass();
}

void Program::shutDown() {
  if (!app_) return;
  app_->saveOnExit();
  app_->setObserver(nullptr);
  gameRecorder_.reset();
  shell::freeSharedAssets();
  shell::process().scoreDisplay.reset();
  updateTimer_.reset();
  drawTimer_.reset();
  display_.reset();
  app_.reset();
}

std::int32_t Program::windowProcedure(std::uint32_t message, std::uint32_t wParam, std::int32_t lParam) {
  for (const MessageEntry& entry : kMessageTable) {
    if (entry.message == message) return (this->*entry.handler)(wParam, lParam);
  }
  return 0;  // the default window procedure has nothing to do for this window
}

void Program::runMainLoop(platform::Host& host) {
  while (shell::process().running) {
    tick();
    win::Message message;
    while (host.peekMessage(message)) {
      if (recorder_ != nullptr) recorder_->message(message);
      windowProcedure(message.message, message.wParam, message.lParam);
    }
    if (host.quitRequested()) shell::process().running = false;
    if (!shell::process().running) break;
    host.waitForMessages(shell::process().active ? millisecondsUntilNextTimer() : kInactiveWaitMs);
  }
}

std::uint32_t Program::millisecondsUntilNextTimer() const {
  // A recorded run draws with its updates and never asks the draw timer.
  const std::uint32_t update = updateTimer_->millisecondsUntilDue();
  if (recorder_ != nullptr) return update;
  const std::uint32_t draw = drawTimer_->millisecondsUntilDue();
  // The two timers open a millisecond or two apart: one wake-up for both halves the
  // wake-ups of a still screen, and a frame a millisecond late shows no difference.
  const std::uint32_t first = std::min(update, draw);
  const std::uint32_t last = std::max(update, draw);
  return last - first <= kJoinTimersMs ? last : first;
}

std::int32_t Program::onActivate(std::uint32_t wParam, std::int32_t) {
  switch (wParam & 0xFFFFu) {
    case win::WA_ACTIVE:
      record({replay::Event::Kind::Activate});
      routeActivation(app_.get(), true);
      break;
    case win::WA_INACTIVE:
      record({replay::Event::Kind::Deactivate});
      routeActivation(app_.get(), false);
      break;
    default:
      break;
  }
  return 0;
}

std::int32_t Program::onKeyDown(std::uint32_t wParam, std::int32_t) {
  if (!app_) return 0;
  if (app_->onTypedKey(wParam)) return 0;
  const std::uint32_t key = translateDesktopKey(wParam, app_->state());
  if (replay::isGameKey(key)) record({replay::Event::Kind::Key, key});
  routeKey(*app_, key);
  return 0;
}

void Program::record(const replay::Event& event) {
  if (gameRecorder_) gameRecorder_->input(event);
}

std::int32_t Program::onKeyUp(std::uint32_t, std::int32_t) {
  record({replay::Event::Kind::KeyUp});
  if (app_) app_->onKeyRelease();
  return 0;
}

std::int32_t Program::onSetFocus(std::uint32_t, std::int32_t) {
  if (display_) display_->resume();
  return 0;
}

std::int32_t Program::onKillFocus(std::uint32_t, std::int32_t) {
  if (display_) display_->suspend();
  return 0;
}

void Program::takePenPosition(replay::Event::Kind kind, std::int32_t lParam) {
  const auto packed = static_cast<std::uint32_t>(lParam);
  // Positions from outside the picture are held at its edges.
  const int x = std::min(static_cast<int>(packed & 0xFFFFu), platform::kScreenWidth - 1);
  const int y = std::min(static_cast<int>(packed >> 16), platform::kScreenHeight - 1);
  record({kind, 0, static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)});
  routePen(app_.get(), kind, x, y);
}

std::int32_t Program::onPenDown(std::uint32_t, std::int32_t lParam) {
  takePenPosition(replay::Event::Kind::PenDown, lParam);
  return 0;
}

std::int32_t Program::onPenMove(std::uint32_t, std::int32_t lParam) {
  takePenPosition(replay::Event::Kind::PenMove, lParam);
  return 0;
}

std::int32_t Program::onPenUp(std::uint32_t, std::int32_t lParam) {
  takePenPosition(replay::Event::Kind::PenUp, lParam);
  return 0;
}

}  // namespace app
