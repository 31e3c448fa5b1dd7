#include "app/replay_player.hpp"

#include "app/input_routing.hpp"
#include "platform/random.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

std::uint64_t stepsOf(const replay::Event& e) {
  switch (e.kind) {
    case replay::Event::Kind::Frames: return 2 * std::uint64_t{e.count};
    case replay::Event::Kind::Updates:
    case replay::Event::Kind::Draws: return e.count;
    default: return 1;
  }
}

}  // namespace

void beginPart(GameApp& app, const replay::Segment& part) {
  const replay::Start& s = part.start;
  platform::seedRandom(s.randomState);
  shell::ProcessState& p = shell::process();
  p.penX = toFixed(s.penX);
  p.penY = toFixed(s.penY);
  p.penDown = s.penDown;
  app.beginRecordedGame({s.level, s.lives, s.score});
}

ReplayPlayer::ReplayPlayer(GameApp& app, const replay::Replay& replay) : app_(app), replay_(replay) {
  if (!atEnd()) beginPart(app_, replay_.segments[0]);
}

ReplayPlayer::Op ReplayPlayer::nextOp() const {
  if (atEnd()) return Op::None;
  const std::vector<replay::Event>& events = replay_.segments[part_].events;
  if (event_ >= events.size()) return Op::None;
  const replay::Event& e = events[event_];
  switch (e.kind) {
    case replay::Event::Kind::Frames: return done_ % 2 == 0 ? Op::Update : Op::Draw;
    case replay::Event::Kind::Updates: return Op::Update;
    case replay::Event::Kind::Draws: return Op::Draw;
    default: return Op::Input;
  }
}

void ReplayPlayer::moveOn() {
  const std::vector<replay::Event>& events = replay_.segments[part_].events;
  if (event_ < events.size() && ++done_ >= stepsOf(events[event_])) {
    ++event_;
    done_ = 0;
  }
  // Parts without events left end here; the next one begins.
  while (!atEnd() && event_ >= replay_.segments[part_].events.size()) {
    ++part_;
    event_ = 0;
    done_ = 0;
    if (!atEnd()) beginPart(app_, replay_.segments[part_]);
  }
}

ReplayPlayer::Op ReplayPlayer::perform() {
  const Op op = nextOp();
  switch (op) {
    case Op::Update:
      app_.update(10);
      ++updates_;
      break;
    case Op::Draw: app_.draw(); break;
    case Op::Input: routeInput(app_, replay_.segments[part_].events[event_]); break;
    case Op::None: break;
  }
  if (!atEnd()) moveOn();
  return op;
}

bool ReplayPlayer::advanceUpdate() {
  if (atEnd()) return false;
  while (!atEnd() && perform() != Op::Update) {
  }
  while (!atEnd() && nextOp() == Op::Draw) perform();
  return true;
}

void ReplayPlayer::runToEnd() {
  while (!atEnd()) perform();
}

}  // namespace app
