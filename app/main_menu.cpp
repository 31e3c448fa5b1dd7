#include "app/main_menu.hpp"

#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/display_device.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

constexpr int kRowLeft = 32;
constexpr int kRowRight = 208;
constexpr int kFirstRowTop = 38;
constexpr int kRowHeight = 50;
constexpr int kHighlightWidth = 176;

// Truncates toward zero, so the 38 pixels above the first row still count as row 0.
std::int32_t rowAt(int y) { return (y - kFirstRowTop) / kRowHeight; }

}  // namespace

MainMenu::MainMenu() {
  gfx::loadPicture(menuPicture_, gfx::imagePath("menucover.png"));
  gfx::loadPicture(highlightPicture_, gfx::imagePath("menuselect.png"));
}

MainMenu::~MainMenu() = default;

void MainMenu::draw(gfx::Canvas& canvas) const {
  gfx::drawSprite(canvas, 0, 0, toFixed(platform::kScreenWidth), toFixed(platform::kScreenHeight), &menuPicture_, 0, 0,
                  gfx::kNoColourKey);
  // Row 5 (a tap below the menu) lies outside the highlight picture, which the blit refuses.
  gfx::drawSprite(canvas, toFixed(kRowLeft), toFixed(kFirstRowTop + kRowHeight * selection_), toFixed(kHighlightWidth),
                  toFixed(kRowHeight), &highlightPicture_, 0, toFixed(kRowHeight * selection_), gfx::kNoColourKey);
}

void MainMenu::selectUp() {
  --selection_;
  if (selection_ < 0) selection_ = kItems - 1;
}

void MainMenu::selectDown() { selection_ = (selection_ + 1) % kItems; }

void MainMenu::penSelect() { selection_ = rowAt(toPixels(shell::process().penY)); }

void MainMenu::dragSelect() {
  const int x = toPixels(shell::process().penX);
  const int y = toPixels(shell::process().penY);
  if (x < kRowLeft || x > kRowRight || y < kFirstRowTop || y > kFirstRowTop + kRowHeight) return;
  selection_ = rowAt(y);
}

}  // namespace app
