#include "game/paddle.hpp"

#include <algorithm>
#include <iterator>

#include "game/wrapping.hpp"
#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/display_device.hpp"
#include "platform/random.hpp"

namespace game {
namespace {

constexpr Fixed kRightWall = toFixed(platform::kScreenWidth);
constexpr Fixed kLongWidth = 0x500000;    // 80
constexpr Fixed kNormalWidth = 0x3C0000;  // 60
constexpr Fixed kShortWidth = 0x280000;   // 40

Fixed widthOf(SizeState size) {
  switch (size) {
    case SizeState::Long:
      return kLongWidth;
    case SizeState::Short:
      return kShortWidth;
    case SizeState::Normal:
      break;
  }
  return kNormalWidth;
}

// cos a and -sin a for a = 0 .. 180 degrees, times 65536, truncated toward zero. Written out
// from a 60-digit computation: the exact halves (30, 60, 120 and 150 degrees) must give
// 32768, where double-precision sine and cosine land just below and truncate to 32767.
constexpr std::array<Direction, 181> kDirections = {{
    {65536, 0}, {65526, -1143}, {65496, -2287}, {65446, -3429},
    {65376, -4571}, {65286, -5711}, {65176, -6850}, {65047, -7986},
    {64898, -9120}, {64729, -10252}, {64540, -11380}, {64331, -12504},
    {64103, -13625}, {63856, -14742}, {63589, -15854}, {63302, -16961},
    {62997, -18064}, {62672, -19160}, {62328, -20251}, {61965, -21336},
    {61583, -22414}, {61183, -23486}, {60763, -24550}, {60326, -25606},
    {59870, -26655}, {59395, -27696}, {58903, -28729}, {58393, -29752},
    {57864, -30767}, {57319, -31772}, {56755, -32768}, {56175, -33753},
    {55577, -34728}, {54963, -35693}, {54331, -36647}, {53683, -37589},
    {53019, -38521}, {52339, -39440}, {51643, -40347}, {50931, -41243},
    {50203, -42125}, {49460, -42995}, {48702, -43852}, {47929, -44695},
    {47142, -45525}, {46340, -46340}, {45525, -47142}, {44695, -47929},
    {43852, -48702}, {42995, -49460}, {42125, -50203}, {41243, -50931},
    {40347, -51643}, {39440, -52339}, {38521, -53019}, {37589, -53683},
    {36647, -54331}, {35693, -54963}, {34728, -55577}, {33753, -56175},
    {32768, -56755}, {31772, -57319}, {30767, -57864}, {29752, -58393},
    {28729, -58903}, {27696, -59395}, {26655, -59870}, {25606, -60326},
    {24550, -60763}, {23486, -61183}, {22414, -61583}, {21336, -61965},
    {20251, -62328}, {19160, -62672}, {18064, -62997}, {16961, -63302},
    {15854, -63589}, {14742, -63856}, {13625, -64103}, {12504, -64331},
    {11380, -64540}, {10252, -64729}, {9120, -64898}, {7986, -65047},
    {6850, -65176}, {5711, -65286}, {4571, -65376}, {3429, -65446},
    {2287, -65496}, {1143, -65526}, {0, -65536}, {-1143, -65526},
    {-2287, -65496}, {-3429, -65446}, {-4571, -65376}, {-5711, -65286},
    {-6850, -65176}, {-7986, -65047}, {-9120, -64898}, {-10252, -64729},
    {-11380, -64540}, {-12504, -64331}, {-13625, -64103}, {-14742, -63856},
    {-15854, -63589}, {-16961, -63302}, {-18064, -62997}, {-19160, -62672},
    {-20251, -62328}, {-21336, -61965}, {-22414, -61583}, {-23486, -61183},
    {-24550, -60763}, {-25606, -60326}, {-26655, -59870}, {-27696, -59395},
    {-28729, -58903}, {-29752, -58393}, {-30767, -57864}, {-31772, -57319},
    {-32768, -56755}, {-33753, -56175}, {-34728, -55577}, {-35693, -54963},
    {-36647, -54331}, {-37589, -53683}, {-38521, -53019}, {-39440, -52339},
    {-40347, -51643}, {-41243, -50931}, {-42125, -50203}, {-42995, -49460},
    {-43852, -48702}, {-44695, -47929}, {-45525, -47142}, {-46340, -46340},
    {-47142, -45525}, {-47929, -44695}, {-48702, -43852}, {-49460, -42995},
    {-50203, -42125}, {-50931, -41243}, {-51643, -40347}, {-52339, -39440},
    {-53019, -38521}, {-53683, -37589}, {-54331, -36647}, {-54963, -35693},
    {-55577, -34728}, {-56175, -33753}, {-56755, -32768}, {-57319, -31772},
    {-57864, -30767}, {-58393, -29752}, {-58903, -28729}, {-59395, -27696},
    {-59870, -26655}, {-60326, -25606}, {-60763, -24550}, {-61183, -23486},
    {-61583, -22414}, {-61965, -21336}, {-62328, -20251}, {-62672, -19160},
    {-62997, -18064}, {-63302, -16961}, {-63589, -15854}, {-63856, -14742},
    {-64103, -13625}, {-64331, -12504}, {-64540, -11380}, {-64729, -10252},
    {-64898, -9120}, {-65047, -7986}, {-65176, -6850}, {-65286, -5711},
    {-65376, -4571}, {-65446, -3429}, {-65496, -2287}, {-65526, -1143},
    {-65536, 0},
}};

}  // namespace

const std::array<Direction, 181>& directionTable() { return kDirections; }

Paddle::Paddle() {
  gfx::loadPicture(picture_, gfx::imagePath("board.png"));
  reset();
}

Paddle::~Paddle() { resting_.clear(); }

void Paddle::reset() {
  breakup_.reset();
  resting_.clear();
  sizeState_ = SizeState::Normal;
  attachment_ = Attachment::None;
  width_ = kNormalWidth;
  x_ = (kRightWall - kNormalWidth) / 2;  // 90
  velocity_ = 0;
  moveState_ = MoveState::Stopped;
  destroyed_ = false;
  breaking_ = false;
}

void Paddle::moveLeft() {
  if (moveState_ == MoveState::Right) {
    velocity_ = 0;
    moveState_ = MoveState::Left;
  } else if (moveState_ == MoveState::Stopped) {
    moveState_ = MoveState::Left;
  }
}

void Paddle::moveRight() {
  if (moveState_ == MoveState::Left) {
    velocity_ = 0;
    moveState_ = MoveState::Right;
  } else if (moveState_ == MoveState::Stopped) {
    moveState_ = MoveState::Right;
  }
}

void Paddle::stop() {
  if (moveState_ == MoveState::Left || moveState_ == MoveState::Right) {
    moveState_ = MoveState::Stopped;
    velocity_ = 0;
  }
}

void Paddle::moveTo(Fixed stylusX) {
  const Fixed before = x_;
  x_ = wrapSub(stylusX, width_ >> 1);
  if (x_ < 0) {
    x_ = 0;
  } else if (x_ > kRightWall - width_) {
    x_ = kRightWall - width_;
  }
  const Fixed dx = wrapSub(x_, before);
  for (Ball* ball : resting_) ball->shift(dx);
}

void Paddle::lengthen() {
  if (sizeState_ == SizeState::Normal) {
    sizeState_ = SizeState::Long;
  } else if (sizeState_ == SizeState::Short) {
    sizeState_ = SizeState::Normal;
  }
  width_ = widthOf(sizeState_);
  if (x_ > kRightWall - width_) x_ = kRightWall - width_;
}

void Paddle::shorten() {
  if (sizeState_ == SizeState::Long) {
    sizeState_ = SizeState::Normal;
  } else if (sizeState_ == SizeState::Normal) {
    sizeState_ = SizeState::Short;
  }
  width_ = widthOf(sizeState_);
  const Fixed end = wrapAdd(x_, width_);
  for (Ball* ball : resting_) {
    if (ball->right() > end) ball->setX(wrapSub(end, Ball::kSize));
  }
}

void Paddle::setSizeState(SizeState size) {
  sizeState_ = size;
  width_ = widthOf(size);
}

void Paddle::attach(Ball& ball) {
  resting_.push_back(&ball);
  ball.setY(kRestingY);
  ball.setStuck(true);
}

void Paddle::forgetRestingBall(const Ball* ball) {
  for (auto it = resting_.begin(); it != resting_.end();) {
    it = *it == ball ? resting_.erase(it) : std::next(it);
  }
}

void Paddle::launch() {
  for (Ball* ball : resting_) {
    bounce(*ball);
    ball->setStuck(false);
  }
  resting_.clear();
}

void Paddle::bounce(Ball& ball) { aim(ball, bounceAngle(ball)); }

void Paddle::destroy() {
  if (breaking_) return;
  breakup_.start(x_, width_);
  breaking_ = true;
}

void Paddle::update(std::int32_t dt) {
  switch (moveState_) {
    case MoveState::Left:
      if (velocity_ >= -0x7FFF) velocity_ -= 0x800;
      break;
    case MoveState::Right:
      if (velocity_ < 0x8000) velocity_ += 0x800;
      break;
    case MoveState::Stopped:
      velocity_ = 0;
      break;
  }
  const Fixed before = x_;
  const Fixed newX = wrapAdd(x_, wrapMul(dt, velocity_));
  if (newX <= 0) {
    x_ = 0;
    stop();
  } else if (newX >= kRightWall - width_) {
    x_ = kRightWall - width_;
    stop();
  } else {
    x_ = newX;
  }
  const Fixed dx = wrapSub(x_, before);
  for (Ball* ball : resting_) ball->shift(dx);
  breakup_.update(dt);
  if (breakup_.takeFinished()) destroyed_ = true;
}

std::int32_t Paddle::bounceAngle(const Ball& ball) const {
  const std::int32_t d = wrapSub(ball.centreX(), x_) >> 16;
  std::int32_t a = 0;
  switch (sizeState_) {
    case SizeState::Long:
      a = 160 - 2 * d;
      break;
    case SizeState::Short:
      a = 160 - 4 * d;
      break;
    case SizeState::Normal:
      a = 180 - 3 * d;
      break;
  }
  a += platform::nextRandom() % 5 - 2;
  return std::clamp(a, 10, 170);
}

void Paddle::aim(Ball& ball, std::int32_t angle) {
  const Direction& direction = kDirections[static_cast<std::size_t>(std::clamp(angle, 0, 180))];
  const Fixed speed = ball.speed() >> 8;
  ball.setVx(wrapMul(direction.c >> 8, speed));
  ball.setVy(wrapMul(direction.s >> 8, speed));
}

void Paddle::draw(gfx::Canvas& canvas) {
  breakup_.draw(canvas);
  if (breaking_) return;
  const Fixed pieceY = toFixed(10 * static_cast<int>(sizeState_));
  gfx::drawSprite(canvas, x_, kTop, width_, toFixed(10), &picture_, 0, pieceY, gfx::kKeyBlue);
  if (attachment_ == Attachment::None) return;
  const Fixed pieceX = attachment_ == Attachment::StickyPads ? toFixed(72) : toFixed(64);
  const Fixed eight = toFixed(8);
  gfx::drawSprite(canvas, wrapSub(x_, toFixed(2)), toFixed(278), eight, eight, &picture_, pieceX, toFixed(22),
                  gfx::kKeyBlack);
  gfx::drawSprite(canvas, wrapSub(right(), toFixed(6)), toFixed(278), eight, eight, &picture_, pieceX, toFixed(22),
                  gfx::kKeyBlack);
}

}  // namespace game
