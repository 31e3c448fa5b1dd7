#include "app/input_routing.hpp"

#include "platform/messages.hpp"
#include "shell/process_state.hpp"

namespace app {

void routeKey(GameApp& app, std::uint32_t key) {
  game::GameScreen* game = app.game();
  switch (key) {
    case win::VK_RETURN: app.onEnter(); break;
    case win::VK_LEFT: app.onLeft(); break;
    case win::VK_UP: app.onUp(); break;
    case win::VK_RIGHT: app.onRight(); break;
    case win::VK_DOWN: app.onDown(); break;
    case win::VK_APP1: shell::process().running = false; break;
    case win::VK_APP3: app.onMuteOrBack(); break;
    case win::VK_APP4: app.onPauseOrConfirm(); break;
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

void routePen(GameApp* app, replay::Event::Kind kind, int x, int y) {
  shell::ProcessState& p = shell::process();
  p.penX = toFixed(x);
  p.penY = toFixed(y);
  switch (kind) {
    case replay::Event::Kind::PenDown:
      p.penDown = true;
      if (app != nullptr) app->onPenDown();
      break;
    case replay::Event::Kind::PenMove:
      if (app != nullptr) app->onPenMove();
      break;
    case replay::Event::Kind::PenUp:
      p.penDown = false;
      if (app != nullptr) app->onPenUp();
      break;
    default:
      break;
  }
}

void routeActivation(GameApp* app, bool active) {
  shell::process().active = active;
  // Toggles, not sets: deactivating a paused game resumes it. Only a game being played is
  // paused: on the other screens the toggle would only mute, unseen, the next game.
  if (!active && app != nullptr && app->gameOnScreen()) app->togglePause();
}

void routeInput(GameApp& app, const replay::Event& input) {
  using Kind = replay::Event::Kind;
  switch (input.kind) {
    case Kind::Key: routeKey(app, input.count); break;
    case Kind::KeyUp: app.onKeyRelease(); break;
    case Kind::Activate: routeActivation(&app, true); break;
    case Kind::Deactivate: routeActivation(&app, false); break;
    case Kind::PenDown:
    case Kind::PenMove:
    case Kind::PenUp: routePen(&app, input.kind, input.x, input.y); break;
    default: break;
  }
}

}  // namespace app
