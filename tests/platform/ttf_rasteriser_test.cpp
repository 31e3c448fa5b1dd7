#include "platform/sdl/ttf_rasteriser.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBackground = 0x000000;

class TtfText : public ::testing::Test {
 protected:
  void SetUp() override {
    rasteriser_ = TtfRasteriser::open(findTextFont());
    if (!rasteriser_) GTEST_SKIP() << "no sans font on this machine";
  }

  std::vector<std::uint32_t> render(std::string_view text, std::uint32_t colour, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height), kBackground);
    rasteriser_->render(text, colour, width, height, pixels.data());
    return pixels;
  }

  std::unique_ptr<TtfRasteriser> rasteriser_;
};

int countOf(const std::vector<std::uint32_t>& pixels, std::uint32_t colour) {
  return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour));
}

TEST_F(TtfText, GlyphsFitTheTwelveByFourteenCell) {
  EXPECT_GE(rasteriser_->pointSize(), 8);
  // The deepest letters end on the line's last row; the tallest start inside the line.
  const int width = 12 * 4;
  const std::vector<std::uint32_t> pixels = render("Wjgy", kWhite, width, 28);
  int highest = -1;
  int lowest = -1;
  for (int i = 0; i < width * 28; ++i) {
    if (pixels[static_cast<std::size_t>(i)] != kWhite) continue;
    if (highest < 0) highest = i / width;
    lowest = i / width;
  }
  EXPECT_GE(highest, 1);
  EXPECT_EQ(lowest, 13);
  // Twelve of the widest letters fit twelve cells on one line.
  const std::vector<std::uint32_t> wide = render("WWWWWWWWWWWW", kWhite, 144, 28);
  EXPECT_EQ(std::count(wide.begin() + 144 * 14, wide.end(), kWhite), 0);
}

TEST_F(TtfText, EveryDrawnPixelHasExactlyTheRequestedColour) {
  const std::uint32_t colour = 0x00336699;
  const std::vector<std::uint32_t> pixels = render("Score 12345", colour, 132, 14);
  const int drawn = countOf(pixels, colour);
  EXPECT_GT(drawn, 40);
  EXPECT_EQ(drawn + countOf(pixels, kBackground), 132 * 14);
}

TEST_F(TtfText, ASingleSpaceDrawsNothing) {
  EXPECT_EQ(countOf(render(" ", kWhite, 12, 14), kWhite), 0);
}

TEST_F(TtfText, WrappedWordsStartTheNextLineFourteenPixelsDown) {
  // Sixteen characters reckoned at 12 pixels: 176 wide, two lines.
  const std::vector<std::uint32_t> pixels = render("WWWWWWWW WWWWWWW", kWhite, 176, 28);
  int top = 0;
  int bottom = 0;
  for (int i = 0; i < 176 * 28; ++i) {
    if (pixels[static_cast<std::size_t>(i)] != kWhite) continue;
    (i / 176 < 14 ? top : bottom)++;
  }
  EXPECT_GT(top, 0);
  EXPECT_GT(bottom, 0);
}

TEST_F(TtfText, NothingIsDrawnOutsideTheGivenSize) {
  // A text much wider and taller than its box: the guard words around it stay as they were.
  const int width = 24;
  const int height = 14;
  std::vector<std::uint32_t> memory(static_cast<std::size_t>(width * height + 64), 0xDEADBEEF);
  std::uint32_t* pixels = memory.data() + 32;
  std::fill(pixels, pixels + width * height, kBackground);
  rasteriser_->render("WWWWWWWWWWWWWWWWWWWW WWWW WWWW", kWhite, width, height, pixels);
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(memory[static_cast<std::size_t>(i)], 0xDEADBEEFu);
    EXPECT_EQ(memory[memory.size() - 1 - static_cast<std::size_t>(i)], 0xDEADBEEFu);
  }
  EXPECT_GT(countOf(std::vector<std::uint32_t>(pixels, pixels + width * height), kWhite), 0);
}

TEST_F(TtfText, TheSameTextAlwaysGivesTheSamePixels) {
  EXPECT_EQ(render("Name 9876", kWhite, 108, 14), render("Name 9876", kWhite, 108, 14));
}

}  // namespace
}  // namespace platform
