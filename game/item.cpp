#include "game/item.hpp"

#include "game/wrapping.hpp"
#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/display_device.hpp"
#include "shell/process_state.hpp"

namespace game {
namespace {

constexpr Fixed kRightLimit = toFixed(platform::kScreenWidth) - Item::kSize;  // 210
constexpr Fixed kRightMirror = 2 * kRightLimit;
constexpr Fixed kGravity = 0x80;           // per update

}  // namespace

void Item::update(std::int32_t dt) {
  const Fixed nx = wrapAdd(x_, wrapMul(dt, vx_));
  Fixed ny = wrapAdd(y_, wrapMul(dt, vy_));
  vy_ = wrapAdd(vy_, kGravity);
  if (ny <= 0) {
    ny = wrapNeg(ny);
    vy_ = wrapNeg(vy_);
  }
  if (nx <= 0) {
    x_ = wrapNeg(nx);
    vx_ = wrapNeg(vx_);
  } else if (nx >= kRightLimit) {
    x_ = wrapSub(kRightMirror, nx);
    vx_ = wrapNeg(vx_);
  } else {
    x_ = nx;
  }
  y_ = ny;
}

void Item::draw(gfx::Canvas& canvas) const {
  const auto k = static_cast<std::int32_t>(kind_);
  if (k < 1 || k > 14) return;
  gfx::drawSprite(canvas, x_, y_, kSize, kSize, &shell::process().assets.itemPicture, toFixed(30 * ((k - 1) % 7)),
                  toFixed(30 * ((k - 1) / 7)), gfx::kKeyBlack);
}

}  // namespace game
