#include "app/autopilot.hpp"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>

#include "app/program.hpp"
#include "game/game_rig.hpp"
#include "platform/display_device.hpp"
#include "platform/memory_use.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

constexpr std::int64_t kOne = 0x10000;
constexpr std::int64_t kContactY = 274 * kOne;  // a ball's top where it meets the paddle line
constexpr std::int64_t kBallTravel = 228 * kOne;  // the ball's x runs from 0 to 228 between the walls
constexpr std::int32_t kPaddleLine = 286;
constexpr std::uint32_t kFireEvery = 12;          // passes between two shots of the guns
constexpr char16_t kName[] = u"AUTO";             // for a score that enters the table

struct Landing {
  const game::Ball* ball = nullptr;
  std::int64_t centreX = 0;  // Fixed
  std::int64_t time = 0;     // milliseconds until the ball reaches the paddle line
};

// Where a ball's centre will be when it comes down to the paddle line, walls included
// (bricks it may still meet are not foreseen).
std::int64_t landingCentre(const game::Ball& ball, std::int64_t& time) {
  const std::int64_t drop = kContactY - ball.y();
  if (drop <= 0 || ball.vy() <= 0) {
    time = 0;
    return ball.centreX();
  }
  time = drop / ball.vy();
  std::int64_t x = ball.x() + ball.vx() * drop / ball.vy();
  const std::int64_t period = 2 * kBallTravel;
  x %= period;
  if (x < 0) x += period;
  if (x > kBallTravel) x = period - x;
  return x + 6 * kOne;
}

// The falling ball that reaches the paddle line first.
std::optional<Landing> nextLanding(const game::GameRig& game) {
  std::optional<Landing> best;
  for (const game::Ball* ball : game.balls()) {
    if (ball->stuck() || ball->vy() <= 0) continue;
    Landing landing;
    landing.ball = ball;
    landing.centreX = landingCentre(*ball, landing.time);
    if (!best || landing.time < best->time) best = landing;
  }
  return best;
}

// The brick to aim at: the lowest one that must still be broken, nearest to x on its row.
std::optional<std::pair<std::int32_t, std::int32_t>> aimBrick(const game::GameRig& game, std::int64_t centreX,
                                                                std::uint32_t variation) {
  std::optional<std::pair<std::int32_t, std::int32_t>> best;
  std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
  for (std::int32_t row = game::BrickField::kRows - 1; row >= 0 && !best; --row) {
    for (std::int32_t col = 0; col < game::BrickField::kColumns; ++col) {
      const game::GameRig::CellView cell = game.cell(col, row);
      if (cell.hitPoints == 0 || cell.kind == game::BrickKind::Stable) continue;
      // Now and then another brick of the row, so that a rebound loop is broken up.
      const std::int64_t brickX = (20 * col + 10) * kOne;
      const std::int64_t distance = std::llabs(brickX - centreX) + ((col * 7 + variation) % 5) * 20 * kOne;
      if (distance < bestDistance) {
        bestDistance = distance;
        best = std::make_pair(col, row);
      }
    }
  }
  return best;
}

// The whole-degree angle, 10 .. 170, whose direction points nearest to (dx, dy) (dy upward).
std::int32_t angleTowards(std::int64_t dx, std::int64_t dy) {
  const auto& table = game::directionTable();
  for (std::int32_t a = 10; a <= 170; ++a) {
    // cos a * dy - sin a * dx changes sign where a passes the target's angle.
    const std::int64_t cross = static_cast<std::int64_t>(table[a].c) * dy + static_cast<std::int64_t>(table[a].s) * dx;
    if (cross <= 0) return a;
  }
  return 170;
}

// The distance in whole pixels from the paddle's left end to the ball's centre that sends
// the ball off at angle a.
std::int32_t offsetForAngle(game::SizeState size, std::int32_t angle) {
  switch (size) {
    case game::SizeState::Long: return (160 - angle) / 2;
    case game::SizeState::Short: return (160 - angle) / 4;
    default: return (180 - angle) / 3;
  }
}

}  // namespace

void Autopilot::setOn(bool on, Program& program) {
  if (!on && penHeld_ && program.app()->state() == AppState::Playing) {
    program.windowProcedure(win::WM_LBUTTONUP, 0, win::packPenPosition(penX_, 300));
  }
  if (!on) penHeld_ = false;
  on_ = on;
}

void Autopilot::press(Program& program, std::uint32_t key) {
  program.windowProcedure(win::WM_KEYDOWN, key, 0);
  program.windowProcedure(win::WM_KEYUP, key, 0);
}

void Autopilot::steer(Program& program, std::int32_t penX) {
  penX = std::clamp(penX, 0, platform::kScreenWidth - 1);
  if (!penHeld_) {
    program.windowProcedure(win::WM_LBUTTONDOWN, 1, win::packPenPosition(penX, 300));
    penHeld_ = true;
  } else if (penX != penX_) {
    program.windowProcedure(win::WM_MOUSEMOVE, 1, win::packPenPosition(penX, 300));
  }
  penX_ = penX;
}

std::optional<Autopilot::GameRecord> Autopilot::takeFinishedGame() {
  std::optional<GameRecord> game;
  game.swap(finished_);
  return game;
}

bool Autopilot::goBetweenGames(Program& program, GameApp& app) {
  const AppState state = app.state();
  if (state != AppState::Playing && penHeld_) {
    program.windowProcedure(win::WM_LBUTTONUP, 0, win::packPenPosition(penX_, 300));
    penHeld_ = false;
  }
  switch (state) {
    case AppState::GameWon:
    case AppState::GameFailed:
      if (playing_) {
        ending_ = playing_;
        ending_->outcome = state;
        ending_->level = app.game()->levelNumber();
        ending_->score = shell::currentScore();
        playing_.reset();
      }
      press(program, win::VK_RETURN);
      return true;
    case AppState::NameEntry: {
      const auto typed = static_cast<std::size_t>(app.nameEntry()->count());
      press(program, typed < std::size(kName) - 1 ? static_cast<std::uint32_t>(kName[typed]) : win::VK_RETURN);
      return true;
    }
    case AppState::Menu:
      // A game is over once the menu shows again: in that pass nothing of the next one begins,
      // so that after the last game of a script the menu stays.
      if (ending_) {
        finished_ = std::exchange(ending_, std::nullopt);
        return true;
      }
      press(program, app.menuSelection() == MainMenu::NewGame ? win::VK_RETURN : win::VK_UP);
      return true;
    case AppState::Cover:
    case AppState::About:
    case AppState::HighScores:
      press(program, win::VK_RETURN);
      return true;
    default:
      return false;
  }
}

void Autopilot::beforePass(Program& program) {
  if (!on_) return;
  ++passes_;
  GameApp& app = *program.app();
  if (betweenGames_ && goBetweenGames(program, app)) return;
  if (app.state() == AppState::LevelIntro) {
    press(program, win::VK_RETURN);
    if (betweenGames_ && !playing_ && !ending_) {
      playing_ = GameRecord{};
      playing_->heapBytes = platform::heapBytesInUse();
      playing_->residentBytes = platform::residentBytes();
    }
    return;
  }
  if (app.state() != AppState::Playing || !app.gameRunning() || app.game() == nullptr) return;
  const game::GameRig game(*app.game());
  const game::Paddle& paddle = game.paddle();
  const bool guns = paddle.attachment() == game::Attachment::Guns;
  if (paddle.restingBalls().size() > 0 || (guns && passes_ % kFireEvery == 0)) press(program, win::VK_RETURN);

  const std::optional<Landing> landing = nextLanding(game);
  if (!landing) return;
  const std::int32_t centre = static_cast<std::int32_t>(landing->centreX >> 16);
  std::int32_t offset = static_cast<std::int32_t>(paddle.width() >> 17);
  if (const auto brick = aimBrick(game, landing->centreX, passes_ / 2000)) {
    const std::int64_t dx = 20 * brick->first + 10 - centre;
    const std::int64_t dy = kPaddleLine - (12 * brick->second + 6);
    offset = offsetForAngle(paddle.sizeState(), angleTowards(dx, dy));
  }
  const std::int32_t widthPixels = static_cast<std::int32_t>(paddle.width() >> 16);
  offset = offset < 1 ? 1 : offset > widthPixels - 2 ? widthPixels - 2 : offset;
  // The paddle's left end lands at centre - offset, so the ball meets it `offset` pixels in.
  steer(program, centre - offset + widthPixels / 2);
}

}  // namespace app
