#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "gfx/canvas.hpp"
#include "gfx/display.hpp"
#include "gfx/fixed.hpp"
#include "platform/display_device.hpp"
#include "platform/headless/headless_display.hpp"

namespace {

TEST(Fixed, ReducesToPixelsByAnArithmeticShift) {
  const struct {
    Fixed value;
    int pixels;
  } cases[] = {
      {0, 0},         {0xFFFF, 0},       {0x10000, 1},       {-1, -1},
      {-0x8000, -1},  {-0x10000, -1},    {-0x10001, -2},     {std::numeric_limits<Fixed>::max(), 32767},
      {std::numeric_limits<Fixed>::min(), -32768},
  };
  for (const auto& c : cases) EXPECT_EQ(toPixels(c.value), c.pixels) << c.value;
  EXPECT_EQ(toFixed(-1), -0x10000);
  EXPECT_EQ(toFixed(239), 239 * 65536);
  EXPECT_EQ(toPixels(toFixed(-32768)), -32768);
}

TEST(Canvas, NewCanvasIsBlackToTheSparePixel) {
  static_assert(gfx::Canvas::kBlockBytes == 153602);
  static_assert(gfx::Canvas::kFrameBytes == 153600);
  gfx::Canvas canvas(platform::DisplayProperties{});
  EXPECT_EQ(canvas.coordinateMode, 1);
  for (std::size_t i = 0; i < gfx::Canvas::kBlockPixels; ++i) {
    if (canvas.pixels[i] != 0) {
      ADD_FAILURE() << "pixel " << i << " is not black";
      break;
    }
  }
}

TEST(Canvas, StepsAreHalfThePitchesShiftedArithmetically) {
  const struct {
    std::int32_t cbxPitch, cbyPitch, xStep, yStep;
  } cases[] = {
      {2, 480, 1, 240}, {2, -640, 1, -320}, {640, 2, 320, 1}, {-2, 480, -1, 240}, {3, -3, 1, -2}, {0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    platform::DisplayProperties properties;
    properties.cbxPitch = c.cbxPitch;
    properties.cbyPitch = c.cbyPitch;
    properties.cxWidth = 480;  // the block stays 153,602 bytes whatever the size says
    const gfx::Canvas canvas(properties);
    EXPECT_EQ(canvas.xStep, c.xStep) << c.cbxPitch;
    EXPECT_EQ(canvas.yStep, c.yStep) << c.cbyPitch;
    EXPECT_EQ(canvas.properties.cbyPitch, c.cbyPitch);
  }
}

TEST(Canvas, HoldsOnlyLayoutsInsideItsBlock) {
  const struct {
    std::int32_t cbxPitch, cbyPitch;
    int width, height;
    bool holds;
  } cases[] = {
      {2, 480, 240, 320, true},  {2, 480, 241, 320, true},  // the spare pixel
      {2, 480, 242, 320, false}, {2, 480, 240, 321, false}, {2, 640, 320, 240, true},
      {640, 2, 240, 320, true},  {2, -480, 240, 320, false}, {2, -480, 240, 1, true},
      {-2, 480, 1, 320, true},   {-2, 480, 2, 320, false},  {2, 480, 0, 5000, true},
  };
  for (const auto& c : cases) {
    platform::DisplayProperties properties;
    properties.cbxPitch = c.cbxPitch;
    properties.cbyPitch = c.cbyPitch;
    const gfx::Canvas canvas(properties);
    EXPECT_EQ(canvas.holds(c.width, c.height), c.holds) << c.cbxPitch << " " << c.cbyPitch << " " << c.width << "x" << c.height;
  }
}

// Records every call and hands out a frame with guard pixels after it.
class RecordingDevice : public platform::DisplayDevice {
 public:
  static constexpr std::uint16_t kGuard = 0xBEEF;
  explicit RecordingDevice(bool giveFrame = true) : giveFrame_(giveFrame) { frame.assign(platform::kFramePixels + 8, kGuard); }
  platform::DisplayProperties properties() const override {
    platform::DisplayProperties p;
    p.cbyPitch = 640;
    p.cyHeight = 240;
    p.cxWidth = 320;
    return p;
  }
  void openDisplay() override { calls.push_back("openDisplay"); }
  void openInput() override { calls.push_back("openInput"); }
  std::uint16_t* beginDraw() override {
    calls.push_back("beginDraw");
    return giveFrame_ ? frame.data() : nullptr;
  }
  void frameChanged() override { calls.push_back("frameChanged"); }
  void suspend() override { calls.push_back("suspend"); }
  void resume() override { calls.push_back("resume"); }
  void endDraw() override { calls.push_back("endDraw"); }
  void closeInput() override { calls.push_back("closeInput"); }
  void closeDisplay() override { calls.push_back("closeDisplay"); }

  std::vector<std::string> calls;
  std::vector<std::uint16_t> frame;

 private:
  bool giveFrame_;
};

class DisplayTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::setDisplayDevice(nullptr); }
};

TEST_F(DisplayTest, OpensBeginsAndClosesInOrder) {
  RecordingDevice device;
  platform::setDisplayDevice(&device);
  {
    gfx::Display display;
    EXPECT_EQ(device.calls, (std::vector<std::string>{"openDisplay", "openInput", "beginDraw"}));
    display.suspend();
    display.resume();
  }
  EXPECT_EQ(device.calls, (std::vector<std::string>{"openDisplay", "openInput", "beginDraw", "suspend", "resume",
                                                    "endDraw", "closeInput", "closeDisplay"}));
}

TEST_F(DisplayTest, PresentCopiesTheFrameButNotTheSparePixel) {
  RecordingDevice device;
  platform::setDisplayDevice(&device);
  gfx::Display display;
  const gfx::Canvas canvas;  // takes the installed device's properties
  EXPECT_EQ(canvas.properties.cxWidth, 320u);
  EXPECT_EQ(canvas.yStep, 320);
  for (std::size_t i = 0; i < gfx::Canvas::kBlockPixels; ++i) canvas.pixels[i] = static_cast<std::uint16_t>(i * 7 + 1);
  display.present(canvas);
  for (int i = 0; i < platform::kFramePixels; ++i) {
    if (device.frame[static_cast<std::size_t>(i)] != canvas.pixels[static_cast<std::size_t>(i)]) {
      ADD_FAILURE() << "frame pixel " << i << " differs";
      break;
    }
  }
  for (std::size_t i = platform::kFramePixels; i < device.frame.size(); ++i) EXPECT_EQ(device.frame[i], RecordingDevice::kGuard);
  EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "frameChanged"), 1);
  // The same frame again is not handed on; a changed one is.
  display.present(canvas);
  EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "frameChanged"), 1);
  canvas.pixels[gfx::Canvas::kBlockPixels - 1] = 0;  // the spare pixel is no change
  display.present(canvas);
  EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "frameChanged"), 1);
  canvas.pixels[76799] = 0;
  display.present(canvas);
  EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "frameChanged"), 2);
  EXPECT_EQ(device.frame[76799], 0);
}

TEST_F(DisplayTest, ADeviceWithoutAFrameIsNeverWritten) {
  RecordingDevice device(false);
  platform::setDisplayDevice(&device);
  gfx::Display display;
  const gfx::Canvas canvas;
  display.present(canvas);
  EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "frameChanged"), 0);
}

TEST_F(DisplayTest, TheHeadlessDeviceKeepsThePresentedFrame) {
  gfx::Display display;
  gfx::Canvas canvas;
  canvas.at(239, 319) = 0xFFDF;
  canvas.at(0, 0) = 0x001F;
  const int shown = platform::headlessDisplay().framesShown();
  display.present(canvas);
  EXPECT_EQ(platform::headlessDisplay().frame()[0], 0x001F);
  EXPECT_EQ(platform::headlessDisplay().frame()[platform::kFramePixels - 1], 0xFFDF);
  EXPECT_EQ(platform::headlessDisplay().framesShown(), shown + 1);
}

}  // namespace
