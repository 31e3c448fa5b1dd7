// Pictures: PNG files of every colour type and depth, the extension rule, broken and hostile
// files, the conformance suite, and the bitmap resources.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "gfx/pixel.hpp"
#include "gfx/surface.hpp"
#include "platform/message_box.hpp"
#include "platform/resources.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/test_files.hpp"

namespace {

using testing_support::PngPicture;
using Pixels = std::vector<std::uint16_t>;

constexpr std::uint16_t kBackground = 0x1BDF;  // (31, 127, 255), behind every transparent pixel
constexpr std::uint16_t kWhite = 0xFFDF;
constexpr std::uint16_t kBlue = 0x001F;

PngPicture png(int type, int depth, int width, int height, Pixels samples, bool interlaced = false) {
  return {width, height, type, depth, interlaced, std::move(samples), {}, {}, false, {}};
}

// Eight distinct colours; a palette holds no more entries than its depth can index.
const std::vector<std::uint8_t> kPalette = {255, 255, 255, 0, 0, 255, 255, 0, 0,  0,   255, 0,
                                            8,   16,  24,  40, 80, 120, 200, 100, 50, 1, 2, 3};
PngPicture palette(int width, int height, Pixels indices, int depth = 8, bool interlaced = false) {
  PngPicture p = png(PNG_COLOR_TYPE_PALETTE, depth, width, height, std::move(indices), interlaced);
  p.palette.assign(kPalette.begin(), kPalette.begin() + 3 * std::min(8, 1 << depth));
  return p;
}
Pixels paletteColours(const Pixels& indices) {
  Pixels out;
  for (const auto i : indices) out.push_back(gfx::packRgb(kPalette[3 * i], kPalette[3 * i + 1], kPalette[3 * i + 2]));
  return out;
}

// Every pixel different, for row-length and interlacing checks: samples and their colours.
Pixels ramp(int count, int channels) {
  Pixels out;
  for (int i = 0; i < count; ++i) {
    for (int c = 0; c < channels; ++c) out.push_back(static_cast<std::uint16_t>((i * 37 + c * 90) & 0xFF));
  }
  return out;
}
Pixels rampColours(int count) {
  Pixels out;
  for (int i = 0; i < count; ++i) out.push_back(gfx::packRgb(i * 37, i * 37 + 90, i * 37 + 180));
  return out;
}
Pixels greys(std::initializer_list<unsigned> values) {
  Pixels out;
  for (const unsigned v : values) out.push_back(gfx::packRgb(v, v, v));
  return out;
}

struct PixelCase {
  const char* name;
  PngPicture picture;
  Pixels expected;  // the whole Surface, row after row
};

void PrintTo(const PixelCase& c, std::ostream* out) { *out << c.name; }

std::vector<PixelCase> pixelCases() {
  PngPicture rgbKey = png(PNG_COLOR_TYPE_RGB, 8, 2, 1, {10, 20, 30, 255, 255, 255});
  rgbKey.hasTransparentColour = true;
  rgbKey.transparent[0] = 10;
  rgbKey.transparent[1] = 20;
  rgbKey.transparent[2] = 30;
  PngPicture greyKey = png(PNG_COLOR_TYPE_GRAY, 4, 2, 1, {3, 9});
  greyKey.hasTransparentColour = true;
  greyKey.transparent[0] = 3;
  PngPicture paletteAlpha = palette(3, 1, {0, 1, 2});
  paletteAlpha.paletteAlpha = {0, 128, 255};
  PngPicture shortPalette = palette(3, 1, {0, 1, 200});
  shortPalette.palette.resize(6);
  Pixels spread;
  for (int i = 0; i < 45; ++i) spread.push_back(static_cast<std::uint16_t>((i * 5) % 8));
  return {
      {"WhiteBlueBlackRgb", png(2, 8, 3, 1, {255, 255, 255, 0, 0, 255, 0, 0, 0}), {kWhite, kBlue, 0}},
      {"RgbChannelsInTheirFields", png(2, 8, 2, 1, {8, 0, 0, 0, 16, 7}), {0x0800, 0x0080}},
      {"RgbWidthFive", png(2, 8, 5, 3, ramp(15, 3)), rampColours(15)},
      {"RgbInterlaced", png(2, 8, 5, 9, ramp(45, 3), true), rampColours(45)},
      // 16-bit samples lose their low byte: 0x07FF would round up to 8 if scaled.
      {"Rgb16StripsTheLowByte", png(2, 16, 2, 1, {0x07FF, 0x80FF, 0xFFFF, 0, 1, 0xF800}),
       {gfx::packRgb(0x07, 0x80, 0xFF), gfx::packRgb(0, 0, 0xF8)}},
      {"RgbaTransparentShowsTheBackground", png(6, 8, 3, 1, {255, 0, 0, 255, 1, 2, 3, 0, 0, 0, 255, 255}),
       {0xF800, kBackground, kBlue}},
      {"Rgba16", png(6, 16, 2, 1, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0, 0, 0, 0}), {kWhite, kBackground}},
      {"RgbTransparentColour", rgbKey, {kBackground, kWhite}},
      {"Palette8", palette(4, 2, {0, 1, 2, 3, 4, 5, 6, 7}), paletteColours({0, 1, 2, 3, 4, 5, 6, 7})},
      {"PaletteWidthFive", palette(5, 2, {7, 6, 5, 4, 3, 2, 1, 0, 1, 2}), paletteColours({7, 6, 5, 4, 3, 2, 1, 0, 1, 2})},
      {"Palette1Bit", palette(5, 1, {1, 0, 0, 1, 1}, 1), paletteColours({1, 0, 0, 1, 1})},
      {"Palette2Bit", palette(5, 1, {3, 2, 1, 0, 3}, 2), paletteColours({3, 2, 1, 0, 3})},
      {"Palette4Bit", palette(5, 1, {7, 6, 5, 4, 0}, 4), paletteColours({7, 6, 5, 4, 0})},
      {"PaletteInterlaced", palette(5, 9, spread, 8, true), paletteColours(spread)},
      // Transparency given for palette entries leaves their colours as stored.
      {"PaletteTransparencyKeepsColours", paletteAlpha, paletteColours({0, 1, 2})},
      {"IndexPastThePaletteIsBlack", shortPalette, {kWhite, kBlue, 0}},
      {"Grey1Bit", png(0, 1, 3, 1, {1, 0, 1}), greys({255, 0, 255})},
      {"Grey2Bit", png(0, 2, 4, 1, {0, 1, 2, 3}), greys({0, 85, 170, 255})},
      {"Grey4Bit", png(0, 4, 5, 1, {0, 1, 7, 8, 15}), greys({0, 17, 119, 136, 255})},
      {"Grey8Bit", png(0, 8, 5, 1, {0, 7, 8, 200, 255}), greys({0, 7, 8, 200, 255})},
      {"Grey16Bit", png(0, 16, 3, 1, {0x07FF, 0x8000, 0xFFFF}), greys({0x07, 0x80, 0xFF})},
      {"GreyTransparentColour", greyKey, {kBackground, gfx::packRgb(153, 153, 153)}},
      {"GreyAlpha", png(4, 8, 3, 1, {255, 255, 0, 0, 64, 255}), {kWhite, kBackground, gfx::packRgb(64, 64, 64)}},
      {"GreyAlpha16", png(4, 16, 2, 1, {0x4000, 0xFFFF, 0xFFFF, 0}), {gfx::packRgb(64, 64, 64), kBackground}},
  };
}

class PngPixels : public ::testing::TestWithParam<PixelCase> {};

TEST_P(PngPixels, LoadExactly) {
  testing_support::ScratchFolder folder;
  ASSERT_TRUE(testing_support::writePng(folder.file("p.png"), GetParam().picture));
  gfx::Surface surface;
  gfx::loadPicture(surface, folder.file("p.png"));
  ASSERT_EQ(surface.width, GetParam().picture.width);
  ASSERT_EQ(surface.height, GetParam().picture.height);
  EXPECT_EQ(surface.pixels, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PngPixels, ::testing::ValuesIn(pixelCases()),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(PictureFile, OnlyThePngExtensionInAnyCaseLoadsAndBrokenFilesLeaveThePictureEmptyQuietly) {
  testing_support::ScratchFolder folder;
  ASSERT_TRUE(testing_support::writePng(folder.file("good.png"), png(2, 8, 5, 9, ramp(45, 3), true)));
  const std::vector<std::uint8_t> bytes = testing_support::readBytes(folder.file("good.png"));
  std::filesystem::create_directory(folder.file("folder.png"));
  const std::pair<const char*, bool> names[] = {
      {"a.png", true},  {"a.PNG", true},  {"a.Png", true},   {"a.bmp.png", true},  {"a.bmp", false},
      {"a.BMP", false}, {"a", false},     {"a.", false},     {"a.png.", false},    {"a.jpg", false},
      {"a.pn", false},  {"a.pngx", false}, {"a.png.bmp", false}, {"folder.png/a", false}};
  ::testing::internal::CaptureStderr();
  for (const auto& [name, loads] : names) {
    testing_support::writeBytes(folder.file(name), bytes);
    gfx::Surface surface;
    gfx::loadPicture(surface, folder.file(name));
    EXPECT_EQ(surface.width, loads ? 5 : 0) << name;
    EXPECT_EQ(surface.pixels.size(), loads ? 45u : 0u) << name;
  }
  std::vector<std::vector<std::uint8_t>> broken;
  for (const std::size_t length : {std::size_t{0}, std::size_t{8}, std::size_t{20}, std::size_t{40}, bytes.size() / 2,
                                   bytes.size() - 13}) {
    broken.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
  }
  for (const std::size_t at : {std::size_t{0}, std::size_t{12}, std::size_t{17}, std::size_t{25}, bytes.size() - 20}) {
    broken.push_back(bytes);
    broken.back()[at] ^= 0x5A;
  }
  broken.emplace_back();  // and a file that is not there
  for (std::size_t i = 0; i < broken.size(); ++i) {
    const std::string path = folder.file("broken" + std::to_string(i) + ".png");
    if (i + 1 < broken.size()) testing_support::writeBytes(path, broken[i]);
    gfx::Surface surface;
    gfx::loadPicture(surface, folder.file("good.png"));
    gfx::loadPicture(surface, path);  // a failed load empties a filled picture
    EXPECT_TRUE(surface.empty() && surface.width == 0 && surface.height == 0) << "case " << i;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

std::vector<std::string> pngsIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".png") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Every valid file of the conformance suite loads at its size without bit 5 and with the same
// pixels as its interlaced twin; every corrupt ("x") file and libpng's crashers stay empty;
// short palettes read safely.
TEST(PngSuite, LoadsTheValidFilesAndRejectsTheHostileOnes) {
  const std::string folder = testing_support::testDataFolder() + "pngsuite/";
  if (testing_support::testDataFolder().empty() || !std::filesystem::is_directory(folder)) GTEST_SKIP() << "no PNG suite";
  const std::regex sized("^s(\\d\\d)[in].*");
  const std::map<std::string, std::pair<int, int>> odd = {
      {"PngSuite.png", {256, 256}}, {"cdfn2c08.png", {8, 32}}, {"cdhn2c08.png", {32, 8}}, {"cdsn2c08.png", {8, 8}}};
  const auto load = [](const std::string& path) {
    gfx::Surface surface;
    gfx::loadPicture(surface, path);
    return surface;
  };
  ::testing::internal::CaptureStderr();
  const std::vector<std::string> names = pngsIn(folder);
  EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n[0] == 'x'; }), 14);
  for (const std::string& name : names) {
    const gfx::Surface surface = load(folder + name);
    std::smatch m;
    auto [width, height] = odd.count(name) != 0 ? odd.at(name) : std::pair{32, 32};
    if (std::regex_match(name, m, sized)) width = height = std::stoi(m[1]);
    if (name[0] == 'x') width = height = 0;
    EXPECT_EQ(surface.width, width) << name;
    EXPECT_EQ(surface.pixels.size(), static_cast<std::size_t>(width) * height) << name;
    EXPECT_TRUE(std::none_of(surface.pixels.begin(), surface.pixels.end(), [](auto p) { return (p & 0x20) != 0; })) << name;
  }
  for (const char* pair : {"0g01", "0g04", "0g16", "2c08", "2c16", "3p01", "3p04", "3p08", "4a08", "4a16", "6a08", "6a16"}) {
    EXPECT_EQ(load(folder + "basn" + pair + ".png").pixels, load(folder + "basi" + pair + ".png").pixels) << pair;
  }
  const std::string hostile = folder + "libpng-testpngs/";
  for (const std::string& name : pngsIn(hostile + "crashers")) {
    if (name != "empty_ancillary_chunks.png" && name != "badcrc.png") {
      EXPECT_TRUE(load(hostile + "crashers/" + name).empty()) << name;
    }
  }
  for (const std::string& name : pngsIn(hostile + "badpal")) EXPECT_FALSE(load(hostile + "badpal/" + name).empty()) << name;
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(ResourcePicture, LoadsAtItsSizeTopRowFirstOrShowsTheMessage) {
  std::vector<std::string> boxes;
  platform::setMessageBoxHandler([&](std::string_view text, std::string_view caption) {
    boxes.push_back(std::string(text) + "|" + std::string(caption));
  });
  const int cases[][3] = {{115, 192, 16}, {143, 160, 16}, {154, 5, 10}, {162, 210, 60}};
  for (const auto& [number, width, height] : cases) {
    gfx::Surface surface;
    gfx::loadPictureResource(surface, number);
    ASSERT_EQ(surface.pixels.size(), static_cast<std::size_t>(width * height)) << number;
    EXPECT_EQ(surface.width, width);
    const std::uint8_t* rgb = platform::findBitmapResource(number)->rgb;
    for (std::size_t i = 0; i < surface.pixels.size(); ++i) {
      ASSERT_EQ(surface.pixels[i], gfx::packRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2])) << number << " " << i;
    }
  }
  EXPECT_TRUE(boxes.empty());
  for (const int number : {0, -1, 116, 131}) {
    gfx::Surface surface;
    gfx::loadPictureResource(surface, 154);
    gfx::loadPictureResource(surface, number);
    EXPECT_TRUE(surface.empty() && surface.width == 0 && surface.height == 0) << number;
  }
  EXPECT_EQ(boxes, std::vector<std::string>(4, "ERROR LOAD RESOURCE|ERROR"));
  platform::setMessageBoxHandler({});
}

}  // namespace
