#include "app/screen_transition.hpp"

#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/display_device.hpp"
#include "platform/files.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

constexpr int kTile = 16;
constexpr int kTileRows = platform::kScreenHeight / kTile;     // 20
constexpr int kTileColumns = platform::kScreenWidth / kTile;  // 15

}  // namespace

ScreenTransition::ScreenTransition()
    : from_(std::make_unique<gfx::Canvas>()),
      to_(std::make_unique<gfx::Canvas>()),
      clickSound_(std::make_unique<sound::SoundClip>(platform::dataPath("menu_select.wav"), false)) {}

ScreenTransition::~ScreenTransition() {
  from_.reset();
  to_.reset();
  clickSound_.reset();
}

void ScreenTransition::begin(AppState target) {
  target_ = target;
  if (shell::process().soundOn != 0) clickSound_->play();
}

bool ScreenTransition::advance() {
  ++step_;
  if (step_ < kSteps) return false;
  step_ = 0;
  return true;
}

int ScreenTransition::edgeLevel(std::int32_t d) {
  // Nearer the part already wiped, less of the old screen shows through.
  static constexpr int kLevels[10] = {4, 4, 10, 10, 16, 16, 22, 22, 27, 27};
  if (d < -4 || d > 5) return -1;
  return kLevels[d + 4];
}

void ScreenTransition::draw(gfx::Canvas& canvas) const {
  gfx::copyCanvas(canvas, to_.get());
  for (std::int32_t a = 0; a < kTileRows; ++a) {
    for (std::int32_t b = 0; b < kTileColumns; ++b) {
      const std::int32_t diagonal = 2 * a + b;
      const int level = edgeLevel(diagonal - step_);
      const Fixed x = toFixed(kTile * b);
      const Fixed y = toFixed(kTile * a);
      const Fixed size = toFixed(kTile);
      if (level >= 0) {
        gfx::blendScreenRect(canvas, x, y, size, size, from_.get(), x, y, level);
      } else if (diagonal > step_) {
        gfx::copyScreenRect(canvas, x, y, size, size, from_.get(), x, y, gfx::kNoColourKey);
      }
    }
  }
}

}  // namespace app
