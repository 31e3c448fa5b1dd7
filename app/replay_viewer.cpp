#include "app/replay_viewer.hpp"

#include <algorithm>
#include <cinttypes>
#include <memory>

#include "app/game_app.hpp"
#include "app/replay_player.hpp"
#include "gfx/blit.hpp"
#include "gfx/display.hpp"
#include "gfx/screenshot.hpp"
#include "gfx/text_surface.hpp"
#include "platform/files.hpp"
#include "platform/messages.hpp"
#include "platform/unicode.hpp"
#include "shell/frame_timer.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

constexpr std::uint32_t kPassMs = 10;  // the game's pace: a pass opens after more than this
constexpr std::uint32_t kStatusColour = 0xFFFFFF;
constexpr int kStatusX = 4;  // pixels
constexpr int kStatusY = 4;

// What a replay is played on: the process-wide state and pictures, and an application with
// the game's screens only, which touches none of the player's files.
class Stage {
 public:
  explicit Stage(const replay::Replay& replay) {
    shell::ProcessState& p = shell::process();
    p.musicOn = 0;
    p.soundOn = 1;
    p.muted = false;
    p.scoreDisplay = std::make_unique<shell::NumberDisplay>(115);
    shell::loadSharedAssets();
    app_ = std::make_unique<GameApp>();
    app_->createReplayScreens(true);
    player_ = std::make_unique<ReplayPlayer>(*app_, replay);
  }
  ~Stage() {
    player_.reset();
    app_.reset();
    shell::freeSharedAssets();
    shell::process().scoreDisplay.reset();
  }
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  GameApp& app() { return *app_; }
  ReplayPlayer& player() { return *player_; }

  // One update of the replay; past its end, the wipe to the last picture plays out.
  void advance() {
    if (player_->advanceUpdate()) return;
    if (app_->state() != AppState::Transition) return;
    app_->update(10);
    app_->draw();
  }

 private:
  std::unique_ptr<GameApp> app_;
  std::unique_ptr<ReplayPlayer> player_;
};

// The line over the picture: the pace, a pause, the final score.
std::u16string statusText(bool paused, int speed, bool over) {
  if (over) return u"Final score " + platform::fromUtf8(std::to_string(shell::currentScore()));
  std::u16string text = paused ? u"Paused" : u"";
  if (speed > 1) text += (text.empty() ? u"x" : u"  x") + platform::fromUtf8(std::to_string(speed));
  return text;
}

}  // namespace

std::optional<replay::Replay> loadReplayFile(const std::string& path, std::string& error) {
  const platform::FileRead file = platform::readFile(path, replay::kMaxFileBytes + 1);
  if (!file.opened || file.readFailed) {
    error = "cannot read the replay " + path + ": " + file.reason;
    return std::nullopt;
  }
  replay::Decoded decoded = replay::decode(file.bytes);
  if (!decoded.replay) {
    error = path + " is no replay that can be played: it is " + decoded.error;
    return std::nullopt;
  }
  return std::move(decoded.replay);
}

ViewerCommand viewerCommand(std::uint32_t key) {
  switch (key) {
    case win::VK_SPACE:
    case win::VK_PAUSE:
    case 'P':
      return ViewerCommand::TogglePause;
    case win::VK_RIGHT:
    case 'N':
      return ViewerCommand::Step;
    case '1': return ViewerCommand::Speed1;
    case '2': return ViewerCommand::Speed2;
    case '4': return ViewerCommand::Speed4;
    case '8': return ViewerCommand::Speed8;
    case win::VK_ESCAPE:
    case win::VK_APP1:
    case 'Q':
      return ViewerCommand::Quit;
    default:
      return ViewerCommand::None;
  }
}

int runReplayWindow(const replay::Replay& replay, platform::Host& host) {
  Stage stage(replay);
  gfx::Display display;
  gfx::Canvas shown;
  gfx::TextSurface status;
  std::u16string statusShown;
  shell::FrameTimer timer(kPassMs);
  bool paused = false;
  bool step = false;
  int speed = 1;
  for (;;) {
    win::Message message;
    while (host.peekMessage(message)) {
      if (message.message != win::WM_KEYDOWN) continue;
      switch (viewerCommand(message.wParam)) {
        case ViewerCommand::TogglePause: paused = !paused; break;
        case ViewerCommand::Step:
          paused = true;
          step = true;
          break;
        case ViewerCommand::Speed1: speed = 1; break;
        case ViewerCommand::Speed2: speed = 2; break;
        case ViewerCommand::Speed4: speed = 4; break;
        case ViewerCommand::Speed8: speed = 8; break;
        case ViewerCommand::Quit: return 0;
        case ViewerCommand::None: break;
      }
    }
    if (host.quitRequested()) return 0;
    if (timer.due()) {
      const int updates = paused ? (step ? 1 : 0) : speed;
      step = false;
      for (int i = 0; i < updates; ++i) stage.advance();
      const bool over = stage.player().atEnd() && stage.app().state() != AppState::Transition;
      const std::u16string text = statusText(paused, speed, over);
      if (text != statusShown) {
        statusShown = text;
        if (text.empty()) {
          status.clear();
        } else {
          gfx::renderText(status, text, kStatusColour, platform::kScreenWidth);
        }
      }
      const gfx::Canvas& back = stage.app().backBuffer();
      std::copy(back.pixelBlock(), back.pixelBlock() + gfx::Canvas::kBlockPixels, shown.pixelBlock());
      if (!statusShown.empty()) gfx::drawText(shown, toFixed(kStatusX), toFixed(kStatusY), &status);
      display.present(shown);
    }
    host.waitForMessages(timer.millisecondsUntilDue());
  }
}

int runReplayHeadless(const replay::Replay& replay, std::FILE* out) {
  Stage stage(replay);
  stage.player().runToEnd();
  std::fprintf(out, "%016" PRIx64 "\nscore %" PRId32 "\n", gfx::frameHash(stage.app().backBuffer()), shell::currentScore());
  std::fflush(out);
  return 0;
}

}  // namespace app
