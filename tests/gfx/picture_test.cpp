// Pictures: PNG files of every colour type and depth, the extension rule, broken and hostile
// files, the conformance suite, and the bitmap resources.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "gfx/pixel.hpp"
#include "gfx/png_image.hpp"
#include "gfx/surface.hpp"
#include "platform/message_box.hpp"
#include "platform/resources.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/test_files.hpp"

namespace {

using testing_support::PngPicture;
using Pixels = std::vector<std::uint16_t>;

constexpr std::uint16_t kBack = 0x1BDF;  // (31, 127, 255), behind every transparent pixel
constexpr std::uint16_t kWhite = 0xFFDF;
constexpr std::uint16_t kBlue = 0x001F;

PngPicture png(int type, int depth, int width, int height, Pixels samples, bool interlaced = false) {
  return {width, height, type, depth, interlaced, std::move(samples), {}, {}, false, {}};
}

// Eight distinct colours; a palette holds no more entries than its depth can index.
const std::uint8_t kPalette[] = {255, 255, 255, 0, 0, 255, 255, 0, 0, 0, 255, 0, 8, 16, 24, 40, 80, 120, 200, 100, 50, 1, 2, 3};
PngPicture palette(int width, int height, Pixels indices, int depth = 8, bool interlaced = false) {
  PngPicture p = png(PNG_COLOR_TYPE_PALETTE, depth, width, height, std::move(indices), interlaced);
  p.palette.assign(kPalette, kPalette + 3 * std::min(8, 1 << depth));
  return p;
}
Pixels colours(const PngPicture& p) {  // of a palette picture's indices, or of a picture's grey samples
  Pixels out;
  for (const auto i : p.samples) {
    out.push_back(p.palette.empty() ? gfx::packRgb(i, i, i) : gfx::packRgb(kPalette[3 * i], kPalette[3 * i + 1], kPalette[3 * i + 2]));
  }
  return out;
}
// Every pixel different, for row-length and interlacing checks: the samples, then their colours.
Pixels ramp(int count) {
  Pixels out;
  for (int i = 0; i < 3 * count; ++i) out.push_back(static_cast<std::uint16_t>((i / 3 * 37 + i % 3 * 90) & 0xFF));
  return out;
}
Pixels rampColours(int count) {
  Pixels out;
  for (int i = 0; i < count; ++i) out.push_back(gfx::packRgb(i * 37, i * 37 + 90, i * 37 + 180));
  return out;
}

TEST(PngPicture, EveryColourTypeAndDepthLoadsExactly) {
  PngPicture rgbKey = png(PNG_COLOR_TYPE_RGB, 8, 2, 1, {10, 20, 30, 255, 255, 255});
  rgbKey.hasTransparentColour = true;
  std::copy_n(rgbKey.samples.begin(), 3, rgbKey.transparent);
  PngPicture greyKey = png(PNG_COLOR_TYPE_GRAY, 4, 2, 1, {3, 9});
  greyKey.hasTransparentColour = true;
  greyKey.transparent[0] = 3;
  PngPicture paletteAlpha = palette(3, 1, {0, 1, 2});
  paletteAlpha.paletteAlpha = {0, 128, 255};
  PngPicture shortPalette = palette(3, 1, {0, 1, 200});
  shortPalette.palette.resize(6);
  Pixels spread;
  for (int i = 0; i < 45; ++i) spread.push_back(static_cast<std::uint16_t>((i * 5) % 8));
  const PngPicture grey8 = png(0, 8, 5, 1, {0, 7, 8, 200, 255});
  const PngPicture palettes[] = {palette(5, 2, {7, 6, 5, 4, 3, 2, 1, 0, 1, 2}), palette(5, 1, {1, 0, 0, 1, 1}, 1),
                                 palette(5, 1, {3, 2, 1, 0, 3}, 2), palette(5, 1, {7, 6, 5, 4, 0}, 4),
                                 palette(5, 9, spread, 8, true), paletteAlpha};  // tRNS leaves palette colours as stored
  std::vector<std::pair<PngPicture, Pixels>> cases = {
      {png(2, 8, 3, 1, {255, 255, 255, 0, 0, 255, 0, 0, 0}), {kWhite, kBlue, 0}},
      {png(2, 8, 2, 1, {8, 0, 0, 0, 16, 7}), {0x0800, 0x0080}},
      {png(2, 8, 5, 3, ramp(15)), rampColours(15)},
      {png(2, 8, 5, 9, ramp(45), true), rampColours(45)},
      // 16-bit samples lose their low byte: 0x07FF would round up to 8 if scaled.
      {png(2, 16, 2, 1, {0x07FF, 0x80FF, 0xFFFF, 0, 1, 0xF800}), {gfx::packRgb(0x07, 0x80, 0xFF), gfx::packRgb(0, 0, 0xF8)}},
      {png(6, 8, 3, 1, {255, 0, 0, 255, 1, 2, 3, 0, 0, 0, 255, 255}), {0xF800, kBack, kBlue}},
      {png(6, 16, 2, 1, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0, 0, 0, 0}), {kWhite, kBack}},
      {rgbKey, {kBack, kWhite}},
      {shortPalette, {kWhite, kBlue, 0}},  // an index past the palette reads as black
      {png(0, 1, 3, 1, {1, 0, 1}), {kWhite, 0, kWhite}},
      {png(0, 2, 4, 1, {0, 1, 2, 3}), colours(png(0, 8, 4, 1, {0, 85, 170, 255}))},
      {png(0, 4, 5, 1, {0, 1, 7, 8, 15}), colours(png(0, 8, 5, 1, {0, 17, 119, 136, 255}))},
      {grey8, colours(grey8)},
      {png(0, 16, 3, 1, {0x07FF, 0x8000, 0xFFFF}), colours(png(0, 8, 3, 1, {0x07, 0x80, 0xFF}))},
      {greyKey, {kBack, gfx::packRgb(153, 153, 153)}},
      {png(4, 8, 3, 1, {255, 255, 0, 0, 64, 255}), {kWhite, kBack, gfx::packRgb(64, 64, 64)}},
      {png(4, 16, 2, 1, {0x4000, 0xFFFF, 0xFFFF, 0}), {gfx::packRgb(64, 64, 64), kBack}},
  };
  for (const PngPicture& p : palettes) cases.emplace_back(p, colours(p));
  testing_support::ScratchFolder folder;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const PngPicture& picture = cases[i].first;
    ASSERT_TRUE(testing_support::writePng(folder.file("p.png"), picture));
    gfx::Surface surface;
    gfx::loadPicture(surface, folder.file("p.png"));
    EXPECT_EQ(std::make_pair(surface.width, surface.height), std::make_pair(picture.width, picture.height)) << "case " << i;
    EXPECT_EQ(surface.pixels, cases[i].second) << "case " << i << ", type " << picture.colourType << ", depth " << picture.bitDepth;
  }
}

TEST(PictureFile, OnlyThePngExtensionInAnyCaseLoadsAndBrokenFilesLeaveThePictureEmptyQuietly) {
  testing_support::ScratchFolder folder;
  ASSERT_TRUE(testing_support::writePng(folder.file("good.png"), png(2, 8, 5, 9, ramp(45), true)));
  const std::vector<std::uint8_t> bytes = testing_support::readBytes(folder.file("good.png"));
  std::filesystem::create_directory(folder.file("folder.png"));
  const std::pair<const char*, bool> names[] = {
      {"a.png", true},  {"a.PNG", true}, {"a.Png", true},  {"a.bmp.png", true}, {"a.bmp", false},     {"a.BMP", false},
      {"a", false},     {"a.", false},   {"a.png.", false}, {"a.pngx", false},   {"a.png.bmp", false}, {"folder.png/a", false}};
  std::vector<std::tuple<std::string, std::vector<std::uint8_t>, bool>> files;
  for (const auto& [name, loads] : names) files.emplace_back(name, bytes, loads);
  for (const std::size_t length : {std::size_t{0}, std::size_t{8}, std::size_t{40}, bytes.size() / 2, bytes.size() - 13}) {
    files.emplace_back("cut.png", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + length), false);
  }
  for (const std::size_t at : {std::size_t{0}, std::size_t{12}, std::size_t{17}, std::size_t{25}, bytes.size() - 20}) {
    files.emplace_back("flip.png", bytes, false);
    std::get<1>(files.back())[at] ^= 0x5A;
  }
  ::testing::internal::CaptureStderr();
  for (const auto& [name, content, loads] : files) {
    testing_support::writeBytes(folder.file(name), content);
    gfx::Surface surface;
    gfx::loadPicture(surface, folder.file("good.png"));
    gfx::loadPicture(surface, folder.file(name));  // a failed load empties a filled picture
    EXPECT_EQ(std::make_tuple(surface.width, surface.height, surface.pixels.size()),
              loads ? std::make_tuple(5, 9, std::size_t{45}) : std::make_tuple(0, 0, std::size_t{0})) << name << " " << content.size();
  }
  gfx::Surface missing;
  gfx::loadPicture(missing, folder.file("missing.png"));
  EXPECT_TRUE(missing.empty());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// A picture's header alone can ask for gigabytes: one wider or higher than the game can draw
// is refused from its header, before any pixel is decoded, and standard error says so. The
// large ones here are a small picture whose header claims the size, so that decoding pixels
// would fail anyway: only the refusal's message tells the two apart.
TEST(PictureFile, APictureLargerThanTheGameCanDrawIsRefusedFromItsHeader) {
  testing_support::ScratchFolder folder;
  const int side = gfx::kLargestPictureSide;
  struct Case {
    std::uint32_t width;
    std::uint32_t height;
    bool real;  // written whole, not only claimed by its header
  };
  const Case cases[] = {{static_cast<std::uint32_t>(side), 1, true},  {1, static_cast<std::uint32_t>(side), true},
                        {static_cast<std::uint32_t>(side) + 1, 1, true}, {1, static_cast<std::uint32_t>(side) + 1, true},
                        {4096, 4096, false},                              {1000000, 2, false},
                        {0x7FFFFFFF, 0x7FFFFFFF, false}};
  for (const Case& c : cases) {
    const std::string path = folder.file("big.png");
    const bool fits = c.width <= static_cast<std::uint32_t>(side) && c.height <= static_cast<std::uint32_t>(side);
    if (c.real) {
      ASSERT_TRUE(testing_support::writeRgbPng(path, static_cast<int>(c.width), static_cast<int>(c.height),
                                               [](int, int) { return testing_support::Rgb{1, 2, 3}; }));
    } else {
      ASSERT_TRUE(testing_support::writeRgbPng(path, 1, 1, [](int, int) { return testing_support::Rgb{1, 2, 3}; }));
      std::vector<std::uint8_t> bytes = testing_support::readBytes(path);
      for (int i = 0; i < 4; ++i) {
        bytes[16 + i] = static_cast<std::uint8_t>(c.width >> (24 - 8 * i));
        bytes[20 + i] = static_cast<std::uint8_t>(c.height >> (24 - 8 * i));
      }
      const std::uint32_t crc = static_cast<std::uint32_t>(::crc32(0, bytes.data() + 12, 17));
      for (int i = 0; i < 4; ++i) bytes[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
      testing_support::writeBytes(path, bytes);
    }
    ::testing::internal::CaptureStderr();
    gfx::Surface surface;
    gfx::loadPicture(surface, path);
    const std::string said = ::testing::internal::GetCapturedStderr();
    const std::string size = std::to_string(c.width) + " x " + std::to_string(c.height);
    EXPECT_EQ(surface.empty(), !fits) << size;
    EXPECT_EQ(said, fits ? "" : "zebrolite: picture " + path + " is " + size + " pixels, larger than the 1024 x 1024 "
                                "the game can draw; not loaded\n");
  }
}

// A FIFO named like a picture would block the decoder's read for ever: it stays empty.
TEST(PictureFile, AFifoInPlaceOfThePictureLeavesItEmptyWithoutWaiting) {
  testing_support::ScratchFolder folder;
  ASSERT_EQ(::mkfifo(folder.file("fifo.png").c_str(), 0600), 0);
  ::alarm(20);  // a regression blocks: end the test rather than hang the suite
  gfx::Surface surface;
  gfx::loadPicture(surface, folder.file("fifo.png"));
  EXPECT_TRUE(surface.empty());
  ::alarm(0);
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
  for (const auto& [number, width, height] : {std::tuple{115, 192, 16}, {143, 160, 16}, {154, 5, 10}, {162, 210, 60}}) {
    gfx::Surface surface;
    gfx::loadPictureResource(surface, number);
    ASSERT_EQ(std::make_tuple(surface.width, surface.height, surface.pixels.size()),
              std::make_tuple(width, height, static_cast<std::size_t>(width * height)));
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
