#include "scores/name_entry_screen.hpp"

#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/display_device.hpp"
#include "shell/process_state.hpp"

namespace scores {
namespace {

constexpr int kColumns = 10;
constexpr int kRows = 4;
constexpr int kKeyWidth = 24;  // pixels
constexpr int kKeyHeight = 28;
constexpr int kGridTop = 92;
constexpr int kGridBottom = kGridTop + kRows * kKeyHeight;  // 204
constexpr int kNameRowX = 24;
constexpr int kNameRowY = 220;
// OK and cancel share the strip below the name row.
constexpr int kButtonTop = 255;
constexpr int kButtonSplit = 112;

constexpr int kWideRow = 3;
constexpr int kSpaceCol = 6;
constexpr int kSpaceRightCol = 7;
constexpr int kDeleteCol = 8;
constexpr int kDeleteRightCol = 9;

char16_t characterOf(std::int32_t col, std::int32_t row) {
  if (row == 0) return static_cast<char16_t>(u'0' + col);
  if (col == kSpaceRightCol && row == kWideRow) return u' ';
  return static_cast<char16_t>(u'A' + (row - 1) * kColumns + col);
}

void drawCell(gfx::Canvas& canvas, const gfx::Surface& highlight, std::int32_t col, std::int32_t row, int x, int y) {
  gfx::drawSprite(canvas, toFixed(x), toFixed(y), toFixed(kKeyWidth), toFixed(kKeyHeight), &highlight,
                  toFixed(kKeyWidth * col), toFixed(kKeyHeight * row), gfx::kKeyBlue);
}

}  // namespace

NameEntryScreen::NameEntryScreen() {
  gfx::loadPicture(keyboard_, gfx::imagePath("input.png"));
  gfx::loadPicture(highlight_, gfx::imagePath("font.png"));
}

NameEntryScreen::~NameEntryScreen() = default;

void NameEntryScreen::cursorLeft() {
  if (row_ == kWideRow && (col_ == kDeleteCol || col_ == 0)) {
    col_ -= 2;
    if (col_ < 0) col_ += kColumns;
  } else {
    col_ = col_ == 0 ? kColumns - 1 : col_ - 1;
  }
}

void NameEntryScreen::cursorRight() {
  if (row_ == kWideRow && (col_ == kDeleteCol || col_ == kSpaceCol)) {
    col_ += 2;
    if (col_ > kColumns - 1) col_ -= kColumns;
  } else {
    col_ = col_ == kColumns - 1 ? 0 : col_ + 1;
  }
}

void NameEntryScreen::cursorUp() {
  if (row_ == 0 && (col_ == kSpaceRightCol || col_ == kDeleteRightCol)) {
    row_ = kWideRow - 1;
  } else {
    row_ = row_ == 0 ? kRows - 1 : row_ - 1;
  }
}

void NameEntryScreen::cursorDown() {
  if ((row_ == kWideRow - 1 && (col_ == kSpaceRightCol || col_ == kDeleteRightCol)) || row_ == kRows - 1) {
    row_ = 0;
  } else {
    row_ += 1;
  }
}

void NameEntryScreen::pickCell() {
  if (col_ == kDeleteCol && row_ == kWideRow) {
    if (count_ > 0) --count_;
    return;
  }
  if (count_ >= kMaxPicks) return;
  const bool space = col_ == kSpaceCol && row_ == kWideRow;
  picks_[static_cast<std::size_t>(count_)] = {space ? kSpaceRightCol : col_, row_};
  ++count_;
}

void NameEntryScreen::penAt() {
  const int x = toPixels(shell::process().penX);
  const int y = toPixels(shell::process().penY);
  if (x <= 0 || x >= platform::kScreenWidth || y <= kGridTop || y >= kGridBottom) return;
  col_ = x / kKeyWidth;
  row_ = (y - kGridTop) / kKeyHeight;
  if (row_ == kWideRow && col_ == kDeleteRightCol) col_ = kDeleteCol;
  if (row_ == kWideRow && col_ == kSpaceRightCol) col_ = kSpaceCol;
}

NameEntryScreen::Release NameEntryScreen::classifyRelease() const {
  const int x = toPixels(shell::process().penX);
  const int y = toPixels(shell::process().penY);
  if (x > 0 && x < platform::kScreenWidth && y > kGridTop && y < kGridBottom) return Release::Keyboard;
  if (y > kButtonTop && y < platform::kScreenHeight) {
    if (x > 0 && x <= kButtonSplit) return Release::Ok;
    if (x > kButtonSplit && x <= platform::kScreenWidth) return Release::Cancel;
  }
  return Release::Nothing;
}

std::u16string NameEntryScreen::nameText() const {
  std::u16string text;
  for (std::int32_t i = 0; i < count_; ++i) {
    const Pick& pick = picks_[static_cast<std::size_t>(i)];
    text.push_back(characterOf(pick.col, pick.row));
  }
  return text;
}

void NameEntryScreen::draw(gfx::Canvas& canvas) {
  gfx::drawSprite(canvas, 0, 0, 0, 0, &keyboard_, 0, 0, gfx::kNoColourKey);
  drawCell(canvas, highlight_, col_, row_, kKeyWidth * col_, kGridTop + kKeyHeight * row_);
  for (std::int32_t i = 0; i < count_; ++i) {
    const Pick& pick = picks_[static_cast<std::size_t>(i)];
    drawCell(canvas, highlight_, pick.col, pick.row, kNameRowX + kKeyWidth * i, kNameRowY);
  }
}

void NameEntryScreen::typeCharacter(char16_t character) {
  if (character >= u'a' && character <= u'z') character = static_cast<char16_t>(character - u'a' + u'A');
  if (character >= u'0' && character <= u'9') {
    col_ = character - u'0';
    row_ = 0;
  } else if (character >= u'A' && character <= u'Z') {
    const int letter = character - u'A';
    col_ = letter % kColumns;
    row_ = 1 + letter / kColumns;
  } else if (character == u' ') {
    col_ = kSpaceCol;
    row_ = kWideRow;
  } else {
    return;
  }
  pickCell();
}

void NameEntryScreen::typeDelete() {
  col_ = kDeleteCol;
  row_ = kWideRow;
  pickCell();
}

}  // namespace scores
