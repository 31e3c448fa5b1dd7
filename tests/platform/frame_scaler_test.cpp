#include "platform/sdl/frame_scaler.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/display_device.hpp"

namespace platform {
namespace {

// An ARGB8888 window, the usual X11 format.
std::uint32_t mapArgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

// An 8-bit palette: a colour's nearest entry is no bit field of its channels.
std::uint32_t mapPalette(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<std::uint32_t>((r * 3 + g * 5 + b) / 96);
}

using Frame = std::array<std::uint16_t, kFramePixels>;

TEST(PixelLookup, ReadsFiveSixFiveAndWidensByRepeatingTheTopBits) {
  const PixelLookup lookup(mapArgb);
  EXPECT_EQ(lookup[0x0000], 0xFF000000u);
  EXPECT_EQ(lookup[0xFFFF], 0xFFFFFFFFu);
  EXPECT_EQ(lookup[0xF800], 0xFFFF0000u);  // red bits 15-11
  EXPECT_EQ(lookup[0x07E0], 0xFF00FF00u);  // green bits 10-5
  EXPECT_EQ(lookup[0x001F], 0xFF0000FFu);  // blue bits 4-0
  // The game's white has bit 5 clear: green 0x3E widens to 0xFB, not 0xFF.
  EXPECT_EQ(lookup[0xFFDF], 0xFFFFFBFFu);
  // 0b10000 -> 0b10000100, 0b100000 -> 0b10000010.
  EXPECT_EQ(lookup[(0x10 << 11) | (0x20 << 5) | 0x10], 0xFF848284u);
}

// Whatever the window's format, every entry is what the format's own mapping gives; bit-field
// formats get the small split table, others the whole one.
TEST(PixelLookup, MatchesTheFormatsMappingForEveryPixel) {
  struct Case {
    const char* name;
    MapRgb map;
    bool split;
  };
  const Case cases[] = {
      {"ARGB8888", mapArgb, true},
      {"BGR565",
       [](std::uint8_t r, std::uint8_t g, std::uint8_t b) -> std::uint32_t {
         return static_cast<std::uint32_t>((b >> 3) << 11 | (g >> 2) << 5 | (r >> 3));
       },
       true},
      {"RGB332",
       [](std::uint8_t r, std::uint8_t g, std::uint8_t b) -> std::uint32_t {
         return static_cast<std::uint32_t>((r & 0xE0) | (g >> 5) << 2 | (b >> 6));
       },
       true},
      {"palette", mapPalette, false},
  };
  for (const Case& c : cases) {
    const PixelLookup checked(c.map);
    EXPECT_EQ(checked.split(), c.split) << c.name;
    // Trusted to be bit fields, the split table is built without the check: right for them.
    const PixelLookup trusted = PixelLookup::ofBitFields(c.map);
    for (unsigned pixel = 0; pixel < 65536; ++pixel) {
      const std::uint32_t expected =
          c.map(expandFiveBits(pixel >> 11), expandSixBits(pixel >> 5), expandFiveBits(pixel));
      ASSERT_EQ(checked[static_cast<std::uint16_t>(pixel)], expected) << c.name << " pixel " << pixel;
      if (c.split) {
        ASSERT_EQ(trusted[static_cast<std::uint16_t>(pixel)], expected) << c.name << " pixel " << pixel;
      }
    }
  }
}

TEST(ChangedRows, FindsTheBandFromTheFirstToTheLastDifferingRow) {
  Frame a{};
  Frame b{};
  EXPECT_TRUE(changedRows(a.data(), b.data()).empty());
  b[5 * 240 + 239] = 1;
  EXPECT_EQ(changedRows(a.data(), b.data()), (RowBand{5, 5}));
  b[0] = 1;
  b[319 * 240] = 1;
  EXPECT_EQ(changedRows(a.data(), b.data()), (RowBand{0, 319}));
  b[0] = 0;
  EXPECT_EQ(changedRows(a.data(), b.data()), (RowBand{5, 319}));
}

// A frame whose pixel (x, y) is the 16-bit value x + 240 * y (wrapping), so that every
// block of the output can be traced back to its source pixel.
Frame numberedFrame() {
  Frame frame{};
  for (int i = 0; i < kFramePixels; ++i) frame[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i);
  return frame;
}

class ScaledFrame : public ::testing::TestWithParam<int> {};

TEST_P(ScaledFrame, EveryPixelBecomesAScaleByScaleBlockInsideTheLetterbox) {
  const int scale = GetParam();
  // The split table and the whole one.
  for (const MapRgb& map : {MapRgb(mapArgb), MapRgb(mapPalette)}) {
    const PixelLookup lookup(map);
    const Frame frame = numberedFrame();
    const PictureLayout layout{scale, 7, 5};
    const int width = 240 * scale + 14;
    const int height = 320 * scale + 10;
    const std::uint32_t untouched = 0x12345678u;
    std::vector<std::uint32_t> surface(static_cast<std::size_t>(width * height), untouched);
    std::vector<std::uint32_t> scratch;
    const PixelTarget target{reinterpret_cast<std::uint8_t*>(surface.data()), width * 4, width, height, 4};
    scaleFrameRows(frame.data(), RowBand{0, 319}, lookup, layout, target, scratch);

    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t got = surface[static_cast<std::size_t>(y * width + x)];
        const int px = x - layout.x;
        const int py = y - layout.y;
        if (px < 0 || py < 0 || px >= layout.width() || py >= layout.height()) {
          ASSERT_EQ(got, untouched) << "letterbox at " << x << "," << y;
        } else {
          ASSERT_EQ(got, lookup[frame[static_cast<std::size_t>((py / scale) * 240 + px / scale)]]) << x << "," << y;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledFrame, ::testing::Values(1, 2, 3, 4));

TEST(ScaledFrame, ABandTouchesOnlyItsOwnRows) {
  const PixelLookup lookup(mapArgb);
  const Frame frame = numberedFrame();
  std::vector<std::uint32_t> surface(480 * 640, 0);
  std::vector<std::uint32_t> scratch;
  const PixelTarget target{reinterpret_cast<std::uint8_t*>(surface.data()), 480 * 4, 480, 640, 4};
  scaleFrameRows(frame.data(), RowBand{10, 11}, lookup, PictureLayout{2, 0, 0}, target, scratch);
  for (int y = 0; y < 640; ++y) {
    const bool inBand = y >= 20 && y < 24;
    EXPECT_EQ(surface[static_cast<std::size_t>(y * 480 + 3)] != 0, inBand) << y;
  }
}

TEST(ScaledFrame, AWindowSmallerThanThePictureIsWrittenOnlyInside) {
  const PixelLookup lookup(mapArgb);
  const Frame frame = numberedFrame();
  const PictureLayout layout = layoutPicture(200, 300);  // scale 1 at (-20, -10)
  // Guard words on both sides catch any write outside the 200 x 300 target.
  std::vector<std::uint32_t> memory(200 * 300 + 2 * 64, 0xDEADBEEFu);
  std::uint32_t* pixels = memory.data() + 64;
  std::fill(pixels, pixels + 200 * 300, 0u);
  std::vector<std::uint32_t> scratch;
  const PixelTarget target{reinterpret_cast<std::uint8_t*>(pixels), 200 * 4, 200, 300, 4};
  scaleFrameRows(frame.data(), RowBand{0, 319}, lookup, layout, target, scratch);
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(memory[static_cast<std::size_t>(i)], 0xDEADBEEFu);
    EXPECT_EQ(memory[memory.size() - 1 - static_cast<std::size_t>(i)], 0xDEADBEEFu);
  }
  EXPECT_EQ(pixels[0], lookup[frame[10 * 240 + 20]]);
  EXPECT_EQ(pixels[299 * 200 + 199], lookup[frame[309 * 240 + 219]]);
}

TEST(ScaledFrame, NarrowerPixelFormatsTakeTheLowBytesOfTheTableValue) {
  // A 5-6-5 window: the table maps a frame pixel to itself.
  const PixelLookup identity([](std::uint8_t r, std::uint8_t g, std::uint8_t b) -> std::uint32_t {
    return static_cast<std::uint32_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
  });
  const Frame frame = numberedFrame();
  for (int bytes : {2, 3}) {
    const int width = 480;
    std::vector<std::uint8_t> surface(static_cast<std::size_t>(width * bytes * 640), 0);
    std::vector<std::uint32_t> scratch;
    const PixelTarget target{surface.data(), width * bytes, width, 640, bytes};
    scaleFrameRows(frame.data(), RowBand{0, 319}, identity, PictureLayout{2, 0, 0}, target, scratch);
    // Window pixel (5, 3) shows frame pixel (2, 1) = 242.
    std::uint32_t value = 0;
    std::memcpy(&value, surface.data() + 3 * width * bytes + 5 * bytes, static_cast<std::size_t>(bytes));
    EXPECT_EQ(value, 242u) << bytes << " bytes";
  }
}

}  // namespace
}  // namespace platform
