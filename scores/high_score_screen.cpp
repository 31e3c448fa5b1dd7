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
// The line that reports an exchange stands where the key hint of the background is, the only
// strip below the buttons: it covers no row and no button. The strip is painted in the
// colour of the sky there (0x00BBGGRR), so that the hint does not show through.
constexpr int kExchangeStripY = 300;
constexpr int kExchangeStripHeight = 20;
constexpr int kExchangeLineY = 303;
constexpr std::uint32_t kExchangeStripColour = 0x180808;
constexpr std::uint32_t kExchangedColour = 0xFFE89C;  // the light cyan of the buttons' arrows
constexpr std::uint32_t kFailedColour = 0x7A9AFF;     // a warm red

// At most 20 characters: one line of the screen's width by the text size rule.
std::u16string_view lineText(UploadResult result) {
  switch (result) {
    case UploadResult::Exchanged: return u"Scores exchanged";
    case UploadResult::NotReached: return u"Server not reached";
    case UploadResult::TooSlow: return u"Server too slow";
    case UploadResult::ScoreRefused: return u"A score was refused";
    case UploadResult::NoList: return u"Server sent no list";
  }
  return u"";
}

// The exchange went through and the server verified some of the games sent with it; at
// most 20 characters like the others ("99 games verified" is 17).
std::u16string verifiedText(std::size_t games) {
  if (games == 1) return u"1 game verified";
  return decimalText(static_cast<std::uint32_t>(games < 99 ? games : 99)) + u" games verified";
}

// One past the last column that holds ink: the glyphs are narrower than the picture the size
// rule gives them, so the line is centred on what it shows.
int inkWidth(const gfx::TextSurface& text) {
  const std::uint16_t ink = gfx::colourToPixel(text.colour);
  int width = 0;
  for (int y = 0; y < text.height; ++y) {
    for (int x = width; x < text.width; ++x) {
      if (text.pixels[static_cast<std::size_t>(y * text.width + x)] == ink) width = x + 1;
    }
  }
  return width;
}

}  // namespace

HighScoreScreen::HighScoreScreen() {
  gfx::loadPicture(background_, gfx::imagePath("highscore.png"));
  gfx::loadPicture(updatingPicture_, gfx::imagePath("updating.png"));
  exchangeStrip_.width = platform::kScreenWidth;
  exchangeStrip_.height = kExchangeStripHeight;
  exchangeStrip_.pixels.assign(static_cast<std::size_t>(platform::kScreenWidth * kExchangeStripHeight),
                               gfx::colourToPixel(kExchangeStripColour));
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
  if (exchangeResult_) {
    gfx::drawSprite(canvas, 0, toFixed(kExchangeStripY), 0, 0, &exchangeStrip_, 0, 0, gfx::kNoColourKey);
    gfx::drawText(canvas, toFixed(exchangeLineX_), toFixed(kExchangeLineY), &exchangeLinePicture_);
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
  if (uploadState_ != kUploadIdle) return;
  uploadState_ = kUploadRequested;
  clearExchangeLine();
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
  const UploadOutcome outcome = scores::uploadScores(table_);
  const UploadResult result = outcome.result;
  if (result == UploadResult::Exchanged) rebuildScorePictures();
  exchangeResult_ = result;
  const bool exchanged = result == UploadResult::Exchanged;
  verifiedLine_ = exchanged && outcome.gamesVerified > 0 ? verifiedText(outcome.gamesVerified) : std::u16string();
  gfx::renderText(exchangeLinePicture_, exchangeLine(), exchanged ? kExchangedColour : kFailedColour, platform::kScreenWidth);
  exchangeLineX_ = (platform::kScreenWidth - inkWidth(exchangeLinePicture_)) / 2;
}

void HighScoreScreen::clearExchangeLine() {
  exchangeResult_.reset();
  verifiedLine_.clear();
  exchangeLinePicture_.clear();
}

std::u16string_view HighScoreScreen::exchangeLine() const {
  if (!exchangeResult_) return {};
  return verifiedLine_.empty() ? lineText(*exchangeResult_) : std::u16string_view(verifiedLine_);
}

}  // namespace scores
