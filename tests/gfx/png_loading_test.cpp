#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "gfx/pixel.hpp"
#include "gfx/surface.hpp"
#include "tests/gfx/png_writer.hpp"
#include "tests/support/scratch_folder.hpp"

namespace {

using gfx_test::PngPicture;

constexpr std::uint16_t kBackground = 0x1BDF;  // (31, 127, 255), behind every transparent pixel
constexpr std::uint16_t kWhite = 0xFFDF;
constexpr std::uint16_t kBlue = 0x001F;

struct PixelCase {
  const char* name;
  PngPicture picture;
  std::vector<std::uint16_t> expected;  // the whole Surface, row after row
};

PngPicture rgb(int width, int height, std::vector<std::uint16_t> samples, int depth = 8, bool interlaced = false) {
  return {width, height, PNG_COLOR_TYPE_RGB, depth, interlaced, std::move(samples), {}, {}, false, {}};
}

PngPicture grey(int width, int height, std::vector<std::uint16_t> samples, int depth) {
  return {width, height, PNG_COLOR_TYPE_GRAY, depth, false, std::move(samples), {}, {}, false, {}};
}

// Eight distinct colours, the index order shuffled so a mix-up of rows or columns shows.
const std::vector<std::uint8_t> kPalette = {255, 255, 255, 0,  0,  255, 255, 0,   0,   0,  255, 0,
                                            8,   16,  24,  40, 80, 120, 200, 100, 50,  1,  2,   3};

std::vector<std::uint16_t> paletteColours(const std::vector<std::uint16_t>& indices) {
  std::vector<std::uint16_t> out;
  for (const std::uint16_t i : indices) out.push_back(gfx::packRgb(kPalette[3 * i], kPalette[3 * i + 1], kPalette[3 * i + 2]));
  return out;
}

// A palette may not have more entries than its depth can index.
PngPicture palette(int width, int height, std::vector<std::uint16_t> indices, int depth = 8, bool interlaced = false) {
  const std::size_t entries = std::min<std::size_t>(kPalette.size() / 3, std::size_t{1} << depth);
  return {width,
          height,
          PNG_COLOR_TYPE_PALETTE,
          depth,
          interlaced,
          std::move(indices),
          std::vector<std::uint8_t>(kPalette.begin(), kPalette.begin() + static_cast<std::ptrdiff_t>(3 * entries)),
          {},
          false,
          {}};
}

// A width-5 picture where every pixel differs, for row-length and interlacing checks.
std::vector<std::uint16_t> ramp(int count, int channels) {
  std::vector<std::uint16_t> out;
  for (int i = 0; i < count; ++i) {
    for (int c = 0; c < channels; ++c) out.push_back(static_cast<std::uint16_t>((i * 37 + c * 90) & 0xFF));
  }
  return out;
}

std::vector<std::uint16_t> rampColours(int count) {
  std::vector<std::uint16_t> out;
  for (int i = 0; i < count; ++i) {
    out.push_back(gfx::packRgb((i * 37) & 0xFF, (i * 37 + 90) & 0xFF, (i * 37 + 180) & 0xFF));
  }
  return out;
}

std::vector<std::uint16_t> greys(std::initializer_list<unsigned> values) {
  std::vector<std::uint16_t> out;
  for (const unsigned v : values) out.push_back(gfx::packRgb(v, v, v));
  return out;
}

std::vector<PixelCase> pixelCases() {
  std::vector<PixelCase> cases;
  cases.push_back({"WhiteBlueBlackRgb", rgb(3, 1, {255, 255, 255, 0, 0, 255, 0, 0, 0}), {kWhite, kBlue, 0x0000}});
  cases.push_back({"RgbChannelsInTheirFields", rgb(2, 1, {8, 0, 0, 0, 16, 7}), {0x0800, 0x0080}});
  cases.push_back({"RgbWidthFive", rgb(5, 3, ramp(15, 3)), rampColours(15)});
  cases.push_back({"RgbInterlaced", rgb(5, 9, ramp(45, 3), 8, true), rampColours(45)});
  // 16-bit samples lose their low byte: 0x07FF would round up to 8 if scaled.
  cases.push_back({"Rgb16StripsTheLowByte", rgb(2, 1, {0x07FF, 0x80FF, 0xFFFF, 0x0000, 0x0001, 0xF800}, 16),
                   {gfx::packRgb(0x07, 0x80, 0xFF), gfx::packRgb(0, 0, 0xF8)}});

  PngPicture rgba{3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, {255, 0, 0, 255, 1, 2, 3, 0, 0, 0, 255, 255}, {}, {}, false, {}};
  cases.push_back({"RgbaTransparentShowsTheBackground", rgba, {0xF800, kBackground, kBlue}});
  PngPicture rgba16{2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, false, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0, 0, 0, 0}, {}, {}, false, {}};
  cases.push_back({"Rgba16TransparentShowsTheBackground", rgba16, {kWhite, kBackground}});
  PngPicture rgbKey = rgb(2, 1, {10, 20, 30, 255, 255, 255});
  rgbKey.hasTransparentColour = true;
  rgbKey.transparent[0] = 10;
  rgbKey.transparent[1] = 20;
  rgbKey.transparent[2] = 30;
  cases.push_back({"RgbTransparentColourShowsTheBackground", rgbKey, {kBackground, kWhite}});

  cases.push_back({"Palette8", palette(4, 2, {0, 1, 2, 3, 4, 5, 6, 7}), paletteColours({0, 1, 2, 3, 4, 5, 6, 7})});
  cases.push_back({"PaletteWidthFive", palette(5, 2, {7, 6, 5, 4, 3, 2, 1, 0, 1, 2}),
                   paletteColours({7, 6, 5, 4, 3, 2, 1, 0, 1, 2})});
  cases.push_back({"Palette1Bit", palette(5, 1, {1, 0, 0, 1, 1}, 1), paletteColours({1, 0, 0, 1, 1})});
  cases.push_back({"Palette2Bit", palette(5, 1, {3, 2, 1, 0, 3}, 2), paletteColours({3, 2, 1, 0, 3})});
  cases.push_back({"Palette4Bit", palette(5, 1, {7, 6, 5, 4, 0}, 4), paletteColours({7, 6, 5, 4, 0})});
  cases.push_back({"PaletteInterlaced", palette(5, 9, std::vector<std::uint16_t>(45, 0), 8, true),
                   paletteColours(std::vector<std::uint16_t>(45, 0))});
  {
    std::vector<std::uint16_t> indices;
    for (int i = 0; i < 45; ++i) indices.push_back(static_cast<std::uint16_t>((i * 5) % 8));
    cases.push_back({"PaletteInterlacedDistinct", palette(5, 9, indices, 8, true), paletteColours(indices)});
  }
  // Transparency given for palette entries leaves their colours as stored.
  PngPicture paletteAlpha = palette(3, 1, {0, 1, 2});
  paletteAlpha.paletteAlpha = {0, 128, 255};
  cases.push_back({"PaletteTransparencyKeepsColours", paletteAlpha, paletteColours({0, 1, 2})});
  // An index past the last entry reads as black.
  PngPicture shortPalette{3, 1, PNG_COLOR_TYPE_PALETTE, 8, false, {0, 1, 200}, {255, 255, 255, 0, 0, 255}, {}, false, {}};
  cases.push_back({"IndexPastThePaletteIsBlack", shortPalette, {kWhite, kBlue, 0x0000}});

  cases.push_back({"Grey1Bit", grey(3, 1, {1, 0, 1}, 1), greys({255, 0, 255})});
  cases.push_back({"Grey2Bit", grey(4, 1, {0, 1, 2, 3}, 2), greys({0, 85, 170, 255})});
  cases.push_back({"Grey4Bit", grey(5, 1, {0, 1, 7, 8, 15}, 4), greys({0, 17, 119, 136, 255})});
  cases.push_back({"Grey8Bit", grey(5, 1, {0, 7, 8, 200, 255}, 8), greys({0, 7, 8, 200, 255})});
  cases.push_back({"Grey16Bit", grey(3, 1, {0x07FF, 0x8000, 0xFFFF}, 16), greys({0x07, 0x80, 0xFF})});
  PngPicture greyKey = grey(2, 1, {3, 9}, 4);
  greyKey.hasTransparentColour = true;
  greyKey.transparent[0] = 3;
  cases.push_back({"GreyTransparentColourShowsTheBackground", greyKey, {kBackground, gfx::packRgb(153, 153, 153)}});
  PngPicture greyAlpha{3, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {255, 255, 0, 0, 64, 255}, {}, {}, false, {}};
  cases.push_back({"GreyAlpha", greyAlpha, {kWhite, kBackground, gfx::packRgb(64, 64, 64)}});
  PngPicture greyAlpha16{2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, {0x4000, 0xFFFF, 0xFFFF, 0}, {}, {}, false, {}};
  cases.push_back({"GreyAlpha16", greyAlpha16, {gfx::packRgb(64, 64, 64), kBackground}});
  return cases;
}

void PrintTo(const PixelCase& c, std::ostream* out) { *out << c.name; }

class PngPixels : public ::testing::TestWithParam<PixelCase> {};

TEST_P(PngPixels, LoadExactly) {
  const PixelCase& c = GetParam();
  testing_support::ScratchFolder folder;
  const std::string path = folder.file("picture.png");
  ASSERT_TRUE(gfx_test::writePng(path, c.picture));
  gfx::Surface surface;
  gfx::loadPicture(surface, path);
  ASSERT_EQ(surface.width, c.picture.width);
  ASSERT_EQ(surface.height, c.picture.height);
  EXPECT_EQ(surface.pixels, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PngPixels, ::testing::ValuesIn(pixelCases()),
                         [](const ::testing::TestParamInfo<PixelCase>& param) { return std::string(param.param.name); });

std::vector<std::uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(PictureKind, OnlyThePngExtensionLoadsWhateverItsCase) {
  testing_support::ScratchFolder folder;
  const std::string original = folder.file("source.png");
  ASSERT_TRUE(gfx_test::writePng(original, rgb(1, 1, {255, 255, 255})));
  const std::vector<std::uint8_t> bytes = readBytes(original);
  ASSERT_TRUE(std::filesystem::create_directory(folder.file("folder.png")));
  const struct {
    const char* name;
    bool loads;
  } cases[] = {
      {"cover.png", true},  {"COVER.PNG", true},        {"cover.Png", true},    {"cover.bmp.png", true},
      {"cover.bmp", false}, {"cover.BMP", false},       {"cover.Bmp", false},   {"cover", false},
      {"cover.", false},    {"cover.png.", false},      {"cover.jpg", false},   {"cover.pn", false},
      {"cover.pngx", false}, {"cover.png.bmp", false},  {"folder.png/cover", false},
  };
  for (const auto& c : cases) {
    writeBytes(folder.file(c.name), bytes);
    gfx::Surface surface;
    gfx::loadPicture(surface, folder.file(c.name));
    EXPECT_EQ(!surface.empty(), c.loads) << c.name;
    EXPECT_EQ(surface.width, c.loads ? 1 : 0) << c.name;
    if (c.loads) {
      EXPECT_EQ(surface.pixels[0], kWhite) << c.name;
    }
  }
}

TEST(PngFailures, MissingTruncatedAndCorruptFilesGiveAnEmptySurfaceQuietly) {
  testing_support::ScratchFolder folder;
  const std::string original = folder.file("good.png");
  ASSERT_TRUE(gfx_test::writePng(original, rgb(5, 9, ramp(45, 3), 8, true)));
  const std::vector<std::uint8_t> bytes = readBytes(original);
  std::vector<std::vector<std::uint8_t>> broken;
  for (std::size_t length : {std::size_t{0}, std::size_t{4}, std::size_t{8}, std::size_t{20}, std::size_t{40},
                             bytes.size() / 2, bytes.size() - 13}) {
    broken.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
  }
  for (std::size_t at : {std::size_t{0}, std::size_t{12}, std::size_t{17}, std::size_t{25}, bytes.size() - 20}) {
    std::vector<std::uint8_t> flipped = bytes;
    flipped[at] ^= 0x5A;
    broken.push_back(flipped);
  }
  ::testing::internal::CaptureStderr();
  gfx::Surface surface;
  gfx::loadPicture(surface, original);
  ASSERT_EQ(surface.width, 5);
  gfx::loadPicture(surface, folder.file("missing.png"));  // a failed load empties a filled picture
  EXPECT_TRUE(surface.empty());
  EXPECT_EQ(surface.width, 0);
  for (std::size_t i = 0; i < broken.size(); ++i) {
    const std::string path = folder.file("broken" + std::to_string(i) + ".png");
    writeBytes(path, broken[i]);
    gfx::loadPicture(surface, path);
    EXPECT_TRUE(surface.empty()) << "case " << i;
    EXPECT_EQ(surface.width, 0) << "case " << i;
    EXPECT_EQ(surface.height, 0) << "case " << i;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// Sizes in the conformance suite: "sNN" files are NN x NN, a few others are named here, the
// rest are 32 x 32; "x" files are corrupt.
struct SuiteSize {
  int width;
  int height;
};

SuiteSize suiteSize(const std::string& name) {
  static const std::regex sized("^s(\\d\\d)[in].*");
  std::smatch m;
  if (std::regex_match(name, m, sized)) return {std::stoi(m[1]), std::stoi(m[1])};
  if (name == "PngSuite.png") return {256, 256};
  if (name == "cdfn2c08.png") return {8, 32};
  if (name == "cdhn2c08.png") return {32, 8};
  if (name == "cdsn2c08.png") return {8, 8};
  return {32, 32};
}

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".png") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(PngSuite, EveryValidFileLoadsAtItsSizeAndEveryCorruptOneIsEmpty) {
  const std::string folder = testing_support::testDataFolder().empty() ? "" : testing_support::testDataFolder() + "pngsuite/";
  if (folder.empty() || !std::filesystem::is_directory(folder)) GTEST_SKIP() << "PNG conformance suite not present";
  const std::vector<std::string> names = filesIn(folder);
  ASSERT_GE(names.size(), 170u);
  int loaded = 0;
  int rejected = 0;
  ::testing::internal::CaptureStderr();
  for (const std::string& name : names) {
    gfx::Surface surface;
    gfx::loadPicture(surface, folder + name);
    if (name[0] == 'x') {
      EXPECT_TRUE(surface.empty()) << name;
      EXPECT_EQ(surface.width, 0) << name;
      ++rejected;
      continue;
    }
    const SuiteSize size = suiteSize(name);
    EXPECT_EQ(surface.width, size.width) << name;
    EXPECT_EQ(surface.height, size.height) << name;
    EXPECT_EQ(surface.pixels.size(), static_cast<std::size_t>(size.width) * size.height) << name;
    for (const std::uint16_t p : surface.pixels) {
      if ((p & 0x20) != 0) {
        ADD_FAILURE() << name << " has bit 5 set";
        break;
      }
    }
    ++loaded;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(rejected, 14);
  EXPECT_EQ(loaded, static_cast<int>(names.size()) - 14);
}

TEST(PngSuite, KnownPixelsOfTheSuite) {
  const std::string data = testing_support::testDataFolder();
  if (data.empty() || !std::filesystem::is_directory(data + "pngsuite")) GTEST_SKIP() << "PNG conformance suite not present";
  // Every pixel of a picture and its interlaced twin agree.
  for (const char* pair : {"0g01", "0g02", "0g04", "0g08", "0g16", "2c08", "2c16", "3p01", "3p02", "3p04", "3p08",
                           "4a08", "4a16", "6a08", "6a16"}) {
    gfx::Surface plain;
    gfx::Surface interlaced;
    gfx::loadPicture(plain, data + "pngsuite/basn" + pair + ".png");
    gfx::loadPicture(interlaced, data + "pngsuite/basi" + pair + ".png");
    ASSERT_FALSE(plain.empty()) << pair;
    EXPECT_EQ(plain.pixels, interlaced.pixels) << pair;
  }
}

TEST(PngSuite, HostileFilesAreRejectedAndShortPalettesReadSafely) {
  const std::string data = testing_support::testDataFolder();
  const std::string folder = data + "pngsuite/libpng-testpngs/";
  if (data.empty() || !std::filesystem::is_directory(folder)) GTEST_SKIP() << "libpng test pictures not present";
  ::testing::internal::CaptureStderr();
  int decoded = 0;
  for (const std::string& name : filesIn(folder + "crashers")) {
    gfx::Surface surface;
    gfx::loadPicture(surface, folder + "crashers/" + name);
    if (!surface.empty()) {
      ++decoded;
      EXPECT_TRUE(name == "empty_ancillary_chunks.png" || name == "badcrc.png") << name;
    }
  }
  EXPECT_LE(decoded, 2);
  const std::vector<std::string> badPalettes = filesIn(folder + "badpal");
  EXPECT_FALSE(badPalettes.empty());
  for (const std::string& name : badPalettes) {
    gfx::Surface surface;
    gfx::loadPicture(surface, folder + "badpal/" + name);
    EXPECT_FALSE(surface.empty()) << name;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
