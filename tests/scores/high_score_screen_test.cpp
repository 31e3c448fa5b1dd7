// The high-score screen: scrolling limits, the upload states, the pen areas and the drawing.
#include "scores/high_score_screen.hpp"

#include <filesystem>

#include "gfx/pixel.hpp"
#include "tests/scores/scores_fixture.hpp"
#include "tests/support/loopback_http_server.hpp"

namespace scores_test {
namespace {

using scores::HighScoreScreen;
using testing_support::LoopbackHttpServer;

using HighScoreScreenTest = ScoresTest;

TEST_F(HighScoreScreenTest, ScrollsOneRowAnUpdateWithinTheTable) {
  HighScoreScreen screen;
  screen.scrollUp();
  screen.update();
  EXPECT_EQ(screen.firstRow(), 0);
  EXPECT_EQ(screen.scrollState(), HighScoreScreen::kScrollStopped);
  screen.scrollDown();
  for (int i = 0; i < 83; ++i) screen.update();
  EXPECT_EQ(screen.scrollState(), HighScoreScreen::kScrollDown);
  screen.update();
  EXPECT_EQ(screen.firstRow(), 83);  // showing places 84 to 100
  EXPECT_EQ(screen.scrollState(), HighScoreScreen::kScrollStopped);
  screen.scrollUp();
  screen.update();
  screen.update();
  screen.stopScrolling();
  screen.update();
  EXPECT_EQ(screen.firstRow(), 81);
}

TEST_F(HighScoreScreenTest, UploadRunsOnceInTheUpdateAfterTheDrawThatShowsIt) {
  LoopbackHttpServer server([](const LoopbackHttpServer::Request&) { return LoopbackHttpServer::Reply{}; });
  scores::setScoreServer(server.address());
  HighScoreScreen screen;
  gfx::Canvas canvas;
  screen.requestUpload();
  screen.requestUpload();
  screen.update();
  EXPECT_TRUE(server.requests().empty());
  screen.draw(canvas);
  screen.requestUpload();  // ignored while one is pending
  EXPECT_EQ(screen.uploadState(), HighScoreScreen::kUploadShown);
  screen.update();
  EXPECT_EQ(screen.uploadState(), HighScoreScreen::kUploadIdle);
  screen.draw(canvas);
  screen.update();
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(HighScoreScreenTest, PenReleaseAreasHaveExclusiveBounds) {
  using R = HighScoreScreen::Release;
  const struct {
    int x, y;
    R result;
  } cases[] = {
      {1, 280, R::Upload}, {125, 261, R::Upload}, {125, 299, R::Upload}, {126, 280, R::Nothing},
      {127, 280, R::Back}, {239, 280, R::Back}, {0, 280, R::Nothing}, {200, 260, R::Nothing},
      {200, 261, R::Back}, {200, 299, R::Back}, {200, 300, R::Nothing}, {60, 260, R::Nothing},
      {60, 300, R::Nothing},
  };
  for (const auto& [x, y, result] : cases) {
    HighScoreScreen screen;
    setPen(x, y);
    EXPECT_EQ(screen.penReleased(), result) << x << "," << y;
    const bool uploads = result == R::Upload;
    EXPECT_EQ(screen.uploadState(), uploads ? HighScoreScreen::kUploadRequested : HighScoreScreen::kUploadIdle) << x << "," << y;
  }
}

// Every character but a blank is painted as a solid 12 x 14 block of the text colour.
struct BlockRasteriser : platform::TextRasteriser {
  void render(std::string_view text, std::uint32_t colour, int width, int height, std::uint32_t* pixels) override {
    ++renders;
    for (std::size_t i = 0; i < text.size() && 12 * static_cast<int>(i + 1) <= width; ++i) {
      for (int y = 0; y < height && text[i] != ' '; ++y) std::fill_n(pixels + y * width + 12 * static_cast<int>(i), 12, colour);
    }
  }
  int renders = 0;
};

TEST_F(HighScoreScreenTest, DrawsSeventeenRowsFromFirstRowAndTheUpdatingPicture) {
  std::vector<std::uint8_t> bytes = {0, 1};
  appendRecord(bytes, 0, u"ANNA", 0);
  testing_support::writeBytes(scoreFile(), bytes);
  std::filesystem::create_directory(dataFolder.file("image"));
  testing_support::writeRgbPng(dataFolder.file("image/updating.png"), 128, 60, [](int x, int y) {
    return x + y == 0 ? testing_support::Rgb{0, 0, 255} : testing_support::Rgb{0xF8, 0, 0};  // a blue corner
  });
  BlockRasteriser rasteriser;
  platform::setTextRasteriser(&rasteriser);
  HighScoreScreen screen;
  EXPECT_EQ(screen.table().entry(0).scorePicture.width, 12);  // a score of 0 shows " "
  ASSERT_TRUE(screen.insertScore(u"LONGNAME", 4000000000u));
  EXPECT_EQ(screen.table().entry(0).namePicture.width, 96);
  EXPECT_EQ(screen.table().entry(0).scorePicture.width, 120);

  gfx::Canvas canvas;
  const auto ink = [&](int x, int y) { return canvas.at(x, y) == gfx::colourToPixel(0xFFFFFF); };
  screen.draw(canvas);
  EXPECT_TRUE(ink(80 + 5, 64 + 5) && !ink(160 + 5, 64 + 5));  // ANNA, below the new best, without a score
  screen.scrollDown();
  for (int i = 0; i < 84; ++i) screen.update();
  screen.requestUpload();
  std::fill_n(canvas.pixelBlock(), gfx::Canvas::kBlockPixels, 0);  // no background picture
  screen.draw(canvas);
  // Row 0 shows place 84 (two digits), "PLAYER" and 18; row 16 place 100; nothing below.
  EXPECT_TRUE(ink(32 + 23, 52) && !ink(32 + 24, 52) && ink(80 + 71, 52) && !ink(80 + 72, 52));
  EXPECT_TRUE(ink(160 + 23, 52) && !ink(160 + 24, 52) && !ink(159, 52) && !ink(31, 52));
  EXPECT_TRUE(ink(32 + 35, 52 + 12 * 16 + 13) && !ink(32, 52 + 12 * 16 + 14));
  EXPECT_EQ(canvas.at(56, 130), 0);  // keyed
  EXPECT_EQ(canvas.at(57, 130), gfx::packRgb(0xF8, 0, 0));
  EXPECT_EQ(canvas.at(56 + 127, 130 + 59), gfx::packRgb(0xF8, 0, 0));
  EXPECT_EQ(canvas.at(56 + 128, 130 + 59), 0);
  EXPECT_EQ(screen.uploadState(), HighScoreScreen::kUploadShown);
}

TEST_F(HighScoreScreenTest, ALineBelowTheButtonsSaysHowTheExchangeWentUntilTheScreenIsLeft) {
  using Reply = LoopbackHttpServer::Reply;
  struct Case {
    Reply list, submission;
    bool reachable;
    std::u16string line;
    std::uint32_t colour;  // 0x00BBGGRR
  };
  constexpr std::uint32_t kCyan = 0xFFE89C, kRed = 0x7A9AFF;
  const Case cases[] = {
      {{200, ";ANNA,900", 0, ""}, {}, true, u"Scores exchanged", kCyan},
      {{}, {}, false, u"Server not reached", kRed},
      {{}, {500, "", 0, ""}, true, u"A score was refused", kRed},
      {{}, {200, "", 20000, ""}, true, u"Server too slow", kRed},
      {{302, ";ANNA,900", 0, "/elsewhere"}, {}, true, u"Server sent no list", kRed},
  };
  scores::setUploadTimeouts({1000, 1000});  // the slow case waits it out
  BlockRasteriser rasteriser;
  platform::setTextRasteriser(&rasteriser);
  gfx::Canvas canvas;
  const auto clearCanvas = [&] { std::fill_n(canvas.pixelBlock(), gfx::Canvas::kBlockPixels, 0); };
  const std::uint16_t strip = gfx::colourToPixel(0x180808);
  for (const Case& c : cases) {
    LoopbackHttpServer server([&](const LoopbackHttpServer::Request& request) {
      return request.path == request.target ? c.list : c.submission;
    });
    scores::setScoreServer(c.reachable ? server.address() : LoopbackHttpServer::closedAddress());
    HighScoreScreen screen;
    ASSERT_TRUE(screen.insertScore(u"NEW", 500));
    screen.requestUpload();
    screen.draw(canvas);
    screen.update();
    EXPECT_EQ(screen.exchangeLine(), c.line);
    // Blocks of 12 pixels, centred: the gaps are the blanks.
    const int left = (240 - 12 * static_cast<int>(c.line.size())) / 2;
    const int renders = rasteriser.renders;
    for (int frame = 0; frame < 3; ++frame) {
      clearCanvas();
      screen.draw(canvas);
    }
    EXPECT_EQ(rasteriser.renders, renders);  // rendered once, drawn every frame
    EXPECT_EQ(canvas.at(0, 300), strip);
    EXPECT_EQ(canvas.at(239, 319), strip);
    EXPECT_EQ(canvas.at(0, 299), 0);
    EXPECT_EQ(canvas.at(left - 1, 303), strip);
    EXPECT_EQ(canvas.at(left, 303), gfx::colourToPixel(c.colour));
    EXPECT_EQ(canvas.at(left + 11, 303 + 13), gfx::colourToPixel(c.colour));
    EXPECT_EQ(canvas.at(left, 303 + 14), strip);
    // Asking again clears the line, and so does leaving the screen.
    screen.requestUpload();
    EXPECT_TRUE(screen.exchangeLine().empty());
    screen.draw(canvas);
    screen.update();
    EXPECT_EQ(screen.exchangeLine(), c.line);
    screen.clearExchangeLine();
    EXPECT_TRUE(screen.exchangeLine().empty());
    clearCanvas();
    screen.draw(canvas);
    EXPECT_EQ(canvas.at(0, 300), 0);
  }
}

TEST_F(HighScoreScreenTest, DestructionSavesTheTableAndTheOptions) {
  {
    HighScoreScreen screen;
    shell::process().musicOn = 1;
    ASSERT_TRUE(screen.insertScore(u"KEEP", 250));
  }
  shell::resetProcessState();
  HighScoreScreen again;
  EXPECT_EQ(shell::process().musicOn, 1);
  EXPECT_EQ(again.table().entry(0).nameText(), u"KEEP");
  EXPECT_EQ(again.table().entry(0).pendingUpload, 1);
}

}  // namespace
}  // namespace scores_test
