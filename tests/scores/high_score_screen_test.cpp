#include "scores/high_score_screen.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "gfx/canvas.hpp"
#include "gfx/pixel.hpp"
#include "tests/scores/scores_fixture.hpp"
#include "tests/support/loopback_http_server.hpp"
#include "tools/common/png_write.hpp"

namespace scores_test {
namespace {

using scores::HighScoreScreen;
using testing_support::LoopbackHttpServer;

// Paints the whole text area in the text colour, so a drawn text shows as a solid block.
class BlockRasteriser : public platform::TextRasteriser {
 public:
  void render(std::string_view, std::uint32_t colour, int width, int height, std::uint32_t* pixels) override {
    std::fill(pixels, pixels + static_cast<std::ptrdiff_t>(width) * height, colour);
  }
};

void setPen(int x, int y) {
  app::process().penX = toFixed(x);
  app::process().penY = toFixed(y);
}

using HighScoreScreenTest = ScoresTest;

TEST_F(HighScoreScreenTest, ScrollingStopsAtBothEnds) {
  HighScoreScreen screen;
  screen.scrollUp();
  screen.update();
  EXPECT_EQ(screen.firstRow(), 0);
  EXPECT_EQ(screen.scrollState(), HighScoreScreen::kScrollStopped);

  screen.scrollDown();
  for (int i = 0; i < 83; ++i) screen.update();
  EXPECT_EQ(screen.firstRow(), 83);
  EXPECT_EQ(screen.scrollState(), HighScoreScreen::kScrollDown);
  screen.update();
  EXPECT_EQ(screen.firstRow(), 83);
  EXPECT_EQ(screen.scrollState(), HighScoreScreen::kScrollStopped);

  screen.scrollUp();
  screen.update();
  screen.update();
  screen.stopScrolling();
  screen.update();
  EXPECT_EQ(screen.firstRow(), 81);
}

TEST_F(HighScoreScreenTest, UploadRunsOnceAfterTheDrawThatShowsIt) {
  LoopbackHttpServer server([](const LoopbackHttpServer::Request&) { return LoopbackHttpServer::Reply{}; });
  scores::setScoreServer(server.address());
  HighScoreScreen screen;
  gfx::Canvas canvas;
  screen.requestUpload();
  screen.requestUpload();
  EXPECT_EQ(screen.uploadState(), HighScoreScreen::kUploadRequested);
  screen.update();
  EXPECT_TRUE(server.requests().empty());
  screen.draw(canvas);
  EXPECT_EQ(screen.uploadState(), HighScoreScreen::kUploadShown);
  screen.requestUpload();
  EXPECT_EQ(screen.uploadState(), HighScoreScreen::kUploadShown);
  screen.update();
  EXPECT_EQ(screen.uploadState(), HighScoreScreen::kUploadIdle);
  screen.draw(canvas);
  screen.update();
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(HighScoreScreenTest, PenReleaseAreasHaveExclusiveBounds) {
  struct Case {
    int x, y, result;
    bool uploads;
  };
  const Case cases[] = {
      {1, 280, 0, true},    {125, 261, 0, true},  {125, 299, 0, true}, {126, 280, 0, false}, {127, 280, 1, false},
      {239, 280, 1, false}, {240, 280, 0, false}, {0, 280, 0, false},  {200, 260, 0, false}, {200, 261, 1, false},
      {200, 299, 1, false}, {200, 300, 0, false}, {60, 260, 0, false}, {60, 300, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    HighScoreScreen screen;
    setPen(c.x, c.y);
    EXPECT_EQ(screen.penReleased(), c.result);
    EXPECT_EQ(screen.uploadState(), c.uploads ? HighScoreScreen::kUploadRequested : HighScoreScreen::kUploadIdle);
  }
}

TEST_F(HighScoreScreenTest, PicturesFollowTheSizeRule) {
  std::vector<std::uint8_t> bytes = {0, 1};
  appendRecord(bytes, 0, u"ANNA", 0);
  {
    std::ofstream out(scoreFile(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  HighScoreScreen screen;
  const scores::ScoreEntry& zero = screen.table().entry(0);
  EXPECT_EQ(zero.scorePicture.width, 12);  // " "
  EXPECT_EQ(zero.scorePicture.height, 14);
  EXPECT_EQ(zero.namePicture.width, 48);
  EXPECT_EQ(screen.table().entry(1).scorePicture.width, 24);  // "99"
  EXPECT_EQ(screen.placePicture(0).width, 12);
  EXPECT_EQ(screen.placePicture(99).width, 36);  // "100"
  ASSERT_TRUE(screen.insertScore(u"LONGNAME", 4000000000u));
  EXPECT_EQ(screen.table().entry(0).namePicture.width, 96);
  EXPECT_EQ(screen.table().entry(0).scorePicture.width, 120);
}

TEST_F(HighScoreScreenTest, DrawsVisibleRowsFromFirstRowAndTheUpdatingPicture) {
  BlockRasteriser rasteriser;
  platform::setTextRasteriser(&rasteriser);
  std::filesystem::create_directory(dataFolder.file("image"));
  std::vector<std::uint8_t> updating(128 * 60 * 3, 0);
  for (std::size_t i = 0; i < updating.size(); i += 3) updating[i] = 0xF8;
  updating[2] = 0xFF;  // top-left pixel transparent blue
  updating[0] = 0;
  ASSERT_TRUE(tools::writePngRgb(dataFolder.file("image/updating.png"), 128, 60, updating));

  HighScoreScreen screen;
  screen.scrollDown();
  for (int i = 0; i < 83; ++i) screen.update();
  gfx::Canvas canvas;
  screen.draw(canvas);
  const std::uint16_t white = gfx::colourToPixel(0xFFFFFF);
  const std::uint16_t black = 0;
  // Row 0 shows place 84 (two digits), row 16 place 100; nothing below row 16.
  EXPECT_EQ(canvas.at(32 + 23, 52), white);
  EXPECT_EQ(canvas.at(32 + 24, 52), black);
  EXPECT_EQ(canvas.at(32 + 35, 52 + 12 * 16 + 13), white);
  EXPECT_EQ(canvas.at(32, 52 + 12 * 16 + 14), black);
  EXPECT_EQ(canvas.at(80 + 71, 52), white);  // "PLAYER"
  EXPECT_EQ(canvas.at(160 + 23, 52), white);  // "17"
  EXPECT_EQ(canvas.at(160 + 24, 52), black);

  screen.requestUpload();
  screen.draw(canvas);
  EXPECT_EQ(canvas.at(56, 130), black);
  EXPECT_EQ(canvas.at(57, 130), gfx::packRgb(0xF8, 0, 0));
  EXPECT_EQ(canvas.at(56 + 127, 130 + 59), gfx::packRgb(0xF8, 0, 0));
  EXPECT_EQ(canvas.at(56 + 128, 130 + 59), black);
}

TEST_F(HighScoreScreenTest, DestructionSavesTableAndOptions) {
  {
    HighScoreScreen screen;
    app::process().musicOn = 1;
    ASSERT_TRUE(screen.insertScore(u"KEEP", 250));
  }
  ASSERT_EQ(std::filesystem::file_size(scoreFile()), 3202u);
  app::resetProcessState();
  HighScoreScreen again;
  EXPECT_EQ(app::process().musicOn, 1);
  EXPECT_EQ(again.table().entry(0).nameText(), u"KEEP");
  EXPECT_EQ(again.table().entry(0).pendingUpload, 1);
}

}  // namespace
}  // namespace scores_test
