#include "scores/high_score_screen.hpp"

#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"
#include "platform/display_device.hpp"
#include "scores/score_upload.hpp"
#include "shell/process_state.hpp"

namespace scores {
namespace {

constexpr int kFirstRowY = 52;  // pixels
constexpr int kRowHeight = 12;
constexpr int kPlaceX = 32;
constexpr int kNameX = 80;
constexpr int kScoreX = 160;
constexpr int kUpdatingX = 56;
constexpr int kUpdatingY = 130;
constexpr int kUpdatingWidth = 128;
constexpr int kUpdatingHeight = 60;
// The two buttons share a strip; every bound is exclusive.
constexpr int kButtonTop = 260;
constexpr int kButtonBottom = 300;
constexpr int kButtonSplit = 126;

}  // namespace

HighScoreScreen::HighScoreScreen() {
  gfx::loadPicture(background_, gfx::imagePath("highscore.png"));
  gfx::loadPicture(updatingPicture_, gfx::imagePath("updating.png"));
  loadScores(table_);
  rebuildScorePictures();
}

HighScoreScreen::~HighScoreScreen() { saveScores(table_); }

void HighScoreScreen::rebuildScorePictures() {
  for (std::size_t i = 0; i < ScoreTable::kEntries; ++i) {
    renderListText(placePictures_[i], decimalText(static_cast<std::uint32_t>(i + 1)));
    table_.entry(i).renderPictures();
  }
}

void HighScoreScreen::draw(gfx::Canvas& canvas) {
  gfx::drawSprite(canvas, 0, 0, 0, 0, &background_, 0, 0, gfx::kNoColourKey);
  for (std::int32_t i = 0; i < kVisibleRows; ++i) {
    const auto index = static_cast<std::size_t>(firstRow_ + i);
    const Fixed y = toFixed(kFirstRowY + kRowHeight * i);
    const ScoreEntry& entry = table_.entry(index);
    gfx::drawText(canvas, toFixed(kPlaceX), y, &placePictures_[index]);
    gfx::drawText(canvas, toFixed(kNameX), y, &entry.namePicture);
    gfx::drawText(canvas, toFixed(kScoreX), y, &entry.scorePicture);
  }
  if (uploadState_ == kUploadRequested) {
    gfx::drawSprite(canvas, toFixed(kUpdatingX), toFixed(kUpdatingY), toFixed(kUpdatingWidth),
                    toFixed(kUpdatingHeight), &updatingPicture_, 0, 0, gfx::kKeyBlue);
    uploadState_ = kUploadShown;
  }
}

void HighScoreScreen::update() {
  if (uploadState_ == kUploadShown) {
    uploadScores();
    uploadState_ = kUploadIdle;
  }
  if (scrollState_ == kScrollDown) {
    if (firstRow_ >= kLastFirstRow) {
      scrollState_ = kScrollStopped;
    } else {
      ++firstRow_;
    }
  } else if (scrollState_ == kScrollUp) {
    if (firstRow_ <= 0) {
      scrollState_ = kScrollStopped;
    } else {
      --firstRow_;
    }
  }
}

void HighScoreScreen::scrollUp() { scrollState_ = kScrollUp; }
void HighScoreScreen::scrollDown() { scrollState_ = kScrollDown; }
void HighScoreScreen::stopScrolling() { scrollState_ = kScrollStopped; }

void HighScoreScreen::requestUpload() {
  if (uploadState_ == kUploadIdle) uploadState_ = kUploadRequested;
}

HighScoreScreen::Release HighScoreScreen::penReleased() {
  const int x = toPixels(shell::process().penX);
  const int y = toPixels(shell::process().penY);
  if (y <= kButtonTop || y >= kButtonBottom) return Release::Nothing;
  if (x > 0 && x < kButtonSplit) {
    requestUpload();
    return Release::Upload;
  }
  return x > kButtonSplit && x < platform::kScreenWidth ? Release::Back : Release::Nothing;
}

std::uint32_t HighScoreScreen::lowestScore() const { return table_.lowestScore(); }

bool HighScoreScreen::insertScore(std::u16string_view name, std::uint32_t score) {
  return table_.insertScore(name, score);
}

void HighScoreScreen::uploadScores() {
  if (scores::uploadScores(table_).recordsApplied == ScoreTable::kEntries) rebuildScorePictures();
}

}  // namespace scores
