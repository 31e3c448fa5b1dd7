// The list of the 100 best scores, scrolled 17 rows at a time, from which the player starts
// the score exchange. The screen owns the table and its file: it reads the file when it is
// built and writes it when it is destroyed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gfx/canvas.hpp"
#include "gfx/surface.hpp"
#include "gfx/text_surface.hpp"
#include "scores/score_table.hpp"
#include "scores/score_upload.hpp"

namespace scores {

class HighScoreScreen {
 public:
  static constexpr std::int32_t kVisibleRows = 17;
  static constexpr std::int32_t kLastFirstRow = 83;  // shows entries 83..99

  // Upload states: idle, requested (the next draw shows the updating picture), shown (the
  // next update runs the exchange).
  static constexpr std::int32_t kUploadIdle = 2;
  static constexpr std::int32_t kUploadRequested = 0;
  static constexpr std::int32_t kUploadShown = 1;
  // Scroll states.
  static constexpr std::int32_t kScrollUp = 0;
  static constexpr std::int32_t kScrollDown = 1;
  static constexpr std::int32_t kScrollStopped = 2;

  // Loads highscore.png and updating.png, reads the score file (which sets the options) and
  // renders every picture.
  HighScoreScreen();
  // Saves the table and the options.
  virtual ~HighScoreScreen();
  HighScoreScreen(const HighScoreScreen&) = delete;
  HighScoreScreen& operator=(const HighScoreScreen&) = delete;

  void draw(gfx::Canvas& canvas);
  // One update step: the exchange when the updating picture has been shown, then one row of
  // scrolling.
  void update();
  void scrollUp();
  void scrollDown();
  void stopScrolling();
  // Ignored unless idle. Clears the line of the last exchange.
  void requestUpload();
  // What a pen release did, at the pen position kept by the shell: on the upload button it
  // requests an upload; on the back button the screen is to be left.
  enum class Release { Nothing, Upload, Back };
  Release penReleased();
  std::uint32_t lowestScore() const;
  bool insertScore(std::u16string_view name, std::uint32_t score);

  // Renders every place number, name and score again.
  void rebuildScorePictures();
  // Sends the pending scores and takes the server's list; after a list the pictures show
  // what the table holds. A line at the foot of the screen then says how it went.
  void uploadScores();
  // The screen is being left: the line of the last exchange goes.
  void clearExchangeLine();
  // The text of the line shown, empty when none is.
  std::u16string_view exchangeLine() const;

  std::int32_t firstRow() const { return firstRow_; }
  std::int32_t uploadState() const { return uploadState_; }
  std::int32_t scrollState() const { return scrollState_; }
  const ScoreTable& table() const { return table_; }
  ScoreTable& table() { return table_; }

 private:
  gfx::Surface background_;
  gfx::Surface updatingPicture_;
  ScoreTable table_;
  std::array<gfx::TextSurface, ScoreTable::kEntries> placePictures_;
  std::int32_t uploadState_ = kUploadIdle;
  std::int32_t scrollState_ = kScrollStopped;
  std::int32_t firstRow_ = 0;
  std::optional<UploadResult> exchangeResult_;
  std::u16string verifiedLine_;  // how many games the server verified, when it said so
  // Rendered once per exchange; drawn over a strip of night sky that hides the key hint.
  gfx::TextSurface exchangeLinePicture_;
  gfx::Surface exchangeStrip_;
  int exchangeLineX_ = 0;  // pixels
};

}  // namespace scores
