#include "app/options_screen.hpp"

#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "shell/process_state.hpp"

namespace app {
namespace {

struct Corner {
  int x;
  int y;
};

constexpr Corner kOptionRows[OptionsScreen::kItems] = {{0, 104}, {0, 152}, {0, 200}, {80, 257}};
constexpr int kHighlightWidth = 144;
constexpr int kHighlightHeight = 36;
constexpr int kMarkSize = 40;
constexpr Corner kMusicMark = {144, 108};
constexpr Corner kSoundMark = {144, 148};

bool strictlyInside(int x, int y, int left, int top, int right, int bottom) {
  return left < x && x < right && top < y && y < bottom;
}

std::uint8_t toggled(std::uint8_t option) { return option != 0 ? 0 : 1; }

}  // namespace

OptionsScreen::OptionsScreen() {
  gfx::loadPicture(optionsPicture_, gfx::imagePath("optioncover.png"));
  gfx::loadPicture(highlightPicture_, gfx::imagePath("optionselect.png"));
  gfx::loadPicture(checkPicture_, gfx::imagePath("change.png"));
}

OptionsScreen::~OptionsScreen() = default;

void OptionsScreen::draw(gfx::Canvas& canvas) const {
  gfx::drawSprite(canvas, 0, 0, 0, 0, &optionsPicture_, 0, 0, gfx::kNoColourKey);
  const Corner row = kOptionRows[selection_];
  gfx::drawSprite(canvas, toFixed(row.x), toFixed(row.y), toFixed(kHighlightWidth), toFixed(kHighlightHeight),
                  &highlightPicture_, 0, toFixed(kHighlightHeight * selection_), gfx::kNoColourKey);
  if (shell::process().musicOn != 0) {
    gfx::drawSprite(canvas, toFixed(kMusicMark.x), toFixed(kMusicMark.y), toFixed(kMarkSize), toFixed(kMarkSize),
                    &checkPicture_, 0, 0, gfx::kNoColourKey);
  }
  if (shell::process().soundOn != 0) {
    gfx::drawSprite(canvas, toFixed(kSoundMark.x), toFixed(kSoundMark.y), toFixed(kMarkSize), toFixed(kMarkSize),
                    &checkPicture_, 0, toFixed(kMarkSize), gfx::kNoColourKey);
  }
}

void OptionsScreen::selectUp() {
  --selection_;
  if (selection_ < 0) selection_ = kItems - 1;
}

void OptionsScreen::selectDown() { selection_ = (selection_ + 1) % kItems; }

OptionsScreen::Release OptionsScreen::releaseTest() {
  const int x = toPixels(shell::process().penX);
  const int y = toPixels(shell::process().penY);
  // The two switch rows reach out to the marks (x 184); about and back are their highlights.
  if (strictlyInside(x, y, 0, 104, 184, 148)) {
    shell::process().musicOn = toggled(shell::process().musicOn);
    return Release::Music;
  }
  if (strictlyInside(x, y, 0, 152, 184, 188)) {
    shell::process().soundOn = toggled(shell::process().soundOn);
    return Release::Sound;
  }
  if (strictlyInside(x, y, 0, 200, 144, 236)) {
    selection_ = AboutRow;
    return Release::About;
  }
  if (strictlyInside(x, y, 80, 257, 224, 293)) {
    selection_ = BackRow;
    return Release::Back;
  }
  return Release::Nothing;
}

}  // namespace app
