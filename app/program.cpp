#include "app/program.hpp"

#include <algorithm>

#include "app/desktop_keys.hpp"
#include "platform/clock.hpp"
#include "platform/display_device.hpp"
#include "platform/random.hpp"
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
  return true;
}

void Program::tick() {
  if (!shell::process().active) return;
  display_->present(app_->backBuffer());
  if (recorder_ != nullptr) {
    if (!updateTimer_->due()) return;
    app_->update(10);
    app_->draw();
    recorder_->countPass();
    return;
  }
  if (updateTimer_->due()) app_->update(10);
  if (drawTimer_->due()) app_->draw();
}

void Program::shutDown() {
  if (!app_) return;
  app_->saveOnExit();
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
      shell::process().active = true;
      break;
    case win::WA_INACTIVE:
      shell::process().active = false;
      // Toggles, not sets: deactivating a paused game resumes it. Only a game being played is
      // paused: on the other screens the toggle would only mute, unseen, the next game.
      if (app_ && app_->gameOnScreen()) app_->togglePause();
      break;
    default:
      break;
  }
  return 0;
}

std::int32_t Program::onKeyDown(std::uint32_t wParam, std::int32_t) {
  if (!app_) return 0;
  if (app_->onTypedKey(wParam)) return 0;
  routeKey(translateDesktopKey(wParam, app_->state()));
  return 0;
}

void Program::routeKey(std::uint32_t key) {
  game::GameScreen* game = app_->game();
  switch (key) {
    case win::VK_RETURN: app_->onEnter(); break;
    case win::VK_LEFT: app_->onLeft(); break;
    case win::VK_UP: app_->onUp(); break;
    case win::VK_RIGHT: app_->onRight(); break;
    case win::VK_DOWN: app_->onDown(); break;
    case win::VK_APP1: shell::process().running = false; break;
    case win::VK_APP3: app_->onMuteOrBack(); break;
    case win::VK_APP4: app_->onPauseOrConfirm(); break;
    default:
      // The number keys act on the game whatever screen is showing.
      if (game == nullptr || key < '1' || key > '8') break;
      switch (key) {
        case '1': game->setAllBallKinds(game::BallKind::Normal); break;
        case '2': game->setAllBallKinds(game::BallKind::Fire); break;
        case '3': game->setAllBallKinds(game::BallKind::Pierce); break;
        case '4': game->setAttachment(game::Attachment::None); break;
        case '5': game->setAttachment(game::Attachment::StickyPads); break;
        case '6': game->setAttachment(game::Attachment::Guns); break;
        case '7': game->passLevel(); break;
        case '8': game->addTenLives(); break;
        default: break;
      }
      break;
  }
}

std::int32_t Program::onKeyUp(std::uint32_t, std::int32_t) {
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

void Program::storePenPosition(std::int32_t lParam) {
  const auto packed = static_cast<std::uint32_t>(lParam);
  // Positions from outside the picture are held at its edges.
  const int x = std::min(static_cast<int>(packed & 0xFFFFu), platform::kScreenWidth - 1);
  const int y = std::min(static_cast<int>(packed >> 16), platform::kScreenHeight - 1);
  shell::process().penX = toFixed(x);
  shell::process().penY = toFixed(y);
}

std::int32_t Program::onPenDown(std::uint32_t, std::int32_t lParam) {
  storePenPosition(lParam);
  shell::process().penDown = true;
  if (app_) app_->onPenDown();
  return 0;
}

std::int32_t Program::onPenMove(std::uint32_t, std::int32_t lParam) {
  storePenPosition(lParam);
  if (app_) app_->onPenMove();
  return 0;
}

std::int32_t Program::onPenUp(std::uint32_t, std::int32_t lParam) {
  storePenPosition(lParam);
  shell::process().penDown = false;
  if (app_) app_->onPenUp();
  return 0;
}

}  // namespace app
