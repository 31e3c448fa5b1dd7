#include "game/particle.hpp"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "game/wrapping.hpp"
#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/display_device.hpp"
#include "platform/random.hpp"

namespace game {
namespace {

// New over old at a fixed colour and level, as gfx::mixPixels computes it, with the new
// colour's share worked out once for all the pixels of a particle.
class Mix {
 public:
  Mix(std::uint32_t colour, int level)
      : up_(static_cast<unsigned>(std::clamp(level, 0, 31))), down_(31 - up_) {
    const std::uint16_t pixel = gfx::colourToPixel(colour);
    red_ = ((pixel >> 11) & 31u) * up_;
    green_ = ((pixel >> 6) & 31u) * up_;
    blue_ = (pixel & 31u) * up_;
  }
  std::uint16_t over(std::uint16_t old) const {
    const unsigned red = (red_ + ((old >> 11) & 31u) * down_) >> 5;
    const unsigned green = (green_ + ((old >> 6) & 31u) * down_) >> 5;
    const unsigned blue = (blue_ + (old & 31u) * down_) >> 5;
    return static_cast<std::uint16_t>(red << 11 | green << 6 | blue);
  }

 private:
  unsigned up_;
  unsigned down_;
  unsigned red_ = 0;
  unsigned green_ = 0;
  unsigned blue_ = 0;
};

// Particles are the bulk of a busy frame: thousands of single pixels. Where all the pixels of
// a particle lie inside the canvas they are mixed in place, exactly as blendPoint mixes them;
// at the edges, and on any canvas other than the plain rows of the screen (whose reported size
// could reach past its block), blendPoint clips each pixel.
struct Plot {
  gfx::Canvas& canvas;
  int x;
  int y;
  bool inside;  // every pixel from (x - 1, y - 1) to (x + 1, y + 1) is on the canvas and in its block

  Plot(gfx::Canvas& target, Fixed fx, Fixed fy)
      : canvas(target), x(toPixels(fx)), y(toPixels(fy)),
        inside(target.coordinateMode == 1 && target.xStep == 1 && target.yStep == platform::kScreenWidth && x >= 1 && y >= 1 &&
               x + 1 < static_cast<int>(std::min<std::uint32_t>(target.properties.cxWidth, platform::kScreenWidth)) &&
               y + 1 < static_cast<int>(std::min<std::uint32_t>(target.properties.cyHeight, platform::kScreenHeight))) {}

  void point(int dx, int dy, std::uint32_t colour, int level) const {
    if (inside) {
      std::uint16_t& pixel = canvas.at(x + dx, y + dy);
      pixel = Mix(colour, level).over(pixel);
    } else {
      gfx::blendPoint(canvas, toFixed(x + dx), toFixed(y + dy), colour, level);
    }
  }

  void cross(std::uint32_t colour, int level) const {
    if (!inside) {
      for (auto [dx, dy] : {std::pair{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}}) point(dx, dy, colour, level);
      return;
    }
    const Mix mix(colour, level);
    std::uint16_t* centre = &canvas.at(x, y);
    const std::ptrdiff_t across = canvas.xStep;
    const std::ptrdiff_t down = canvas.yStep;
    for (std::ptrdiff_t offset : {std::ptrdiff_t{0}, across, -across, down, -down}) centre[offset] = mix.over(centre[offset]);
  }
};

std::uint32_t randomFireColour() { return FireColours[static_cast<std::size_t>(platform::nextRandom() % 16)]; }

}  // namespace

Particle::Particle(Fixed x, Fixed y, Fixed vx, Fixed vy, std::int32_t life, ParticleKind kind) {
  set(x, y, vx, vy, life, kind);
}

void Particle::set(Fixed x, Fixed y, Fixed vx, Fixed vy, std::int32_t life, ParticleKind kind) {
  x_ = x;
  y_ = y;
  vx_ = vx;
  vy_ = vy;
  life_ = life;
  kind_ = kind;
  initialLife_ = life;
}

void Particle::update(std::int32_t dt) {
  x_ = wrapAdd(x_, vx_);
  y_ = wrapAdd(y_, vy_);
  vx_ -= vx_ >> 3;
  vy_ -= vy_ >> 3;
  if (life_ >= 0) life_ -= dt;
}

void Particle::draw(gfx::Canvas& canvas) const {
  if (life_ < 0) return;
  const Plot plot(canvas, x_, y_);
  switch (kind_) {
    case ParticleKind::FireCross:
      plot.cross(FireColours[15 - fade()], life_ / 10);
      break;
    case ParticleKind::ConfettiSquare: {
      const int level = life_ / 10;
      plot.point(0, 0, randomFireColour(), level);
      plot.point(1, 0, randomFireColour(), level);
      plot.point(0, 1, randomFireColour(), level);
      plot.point(1, 1, randomFireColour(), level);
      break;
    }
    case ParticleKind::IceCross:
      plot.cross(IceColours[15 - fade()], std::min(life_ / 4, 31));
      break;
    case ParticleKind::None:
      break;
  }
}

// life x 16 / initial life, 0 .. 15. Lives are a few hundred milliseconds; a particle set up
// with no life at all shows its last colour rather than dividing by 0.
std::size_t Particle::fade() const {
  if (initialLife_ <= 0) return 0;
  const std::int32_t fade = life_ < 0x8000000
                                ? life_ * 16 / initialLife_
                                : static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{life_} * 16 / initialLife_, 15));
  return static_cast<std::size_t>(std::clamp(fade, 0, 15));
}

}  // namespace game
