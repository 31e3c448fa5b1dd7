// The Canvas layout and what the Display hands its device.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gfx/canvas.hpp"
#include "gfx/display.hpp"

namespace {

using Properties = platform::DisplayProperties;

// Black to the spare pixel; steps of half the pitches, shifted arithmetically; and a layout is
// held only when every pixel of the size it reports lies inside the 153,602-byte block.
TEST(Canvas, LayoutFromThePitches) {
  static_assert(gfx::Canvas::kBlockBytes == 153602 && gfx::Canvas::kFrameBytes == 153600);
  const struct {
    std::int32_t cbxPitch, cbyPitch, xStep, yStep;
    int width, height;
    bool holds;
  } cases[] = {
      {2, 480, 1, 240, 240, 320, true},    {2, 480, 1, 240, 241, 320, true},  // the spare pixel
      {2, 480, 1, 240, 242, 320, false},   {2, 480, 1, 240, 240, 321, false}, {2, 640, 1, 320, 320, 240, true},
      {640, 2, 320, 1, 240, 320, true},    {2, -480, 1, -240, 240, 320, false}, {2, -480, 1, -240, 240, 1, true},
      {-2, 480, -1, 240, 2, 320, false},   {3, -3, 1, -2, 1, 1, true},        {2, 480, 1, 240, 0, 5000, true},
  };
  for (const auto& c : cases) {
    const gfx::Canvas canvas(Properties{240, 320, c.cbxPitch, c.cbyPitch});
    EXPECT_EQ(std::make_pair(canvas.xStep, canvas.yStep), std::make_pair(c.xStep, c.yStep)) << c.cbxPitch << " " << c.cbyPitch;
    EXPECT_EQ(canvas.holds(c.width, c.height), c.holds) << c.cbxPitch << " " << c.cbyPitch << " " << c.width << "x" << c.height;
    EXPECT_EQ(std::count(canvas.pixelBlock(), canvas.pixelBlock() + gfx::Canvas::kBlockPixels, 0), gfx::Canvas::kBlockPixels);
  }
}

// Records every call and hands out a frame with guard pixels after it (or none).
struct RecordingDevice : platform::DisplayDevice {
  explicit RecordingDevice(bool withFrame) : giveFrame(withFrame) {}
  Properties properties() const override { return Properties{320, 240, 2, 640}; }
  void openDisplay() override { calls += "open "; }
  void openInput() override { calls += "input "; }
  std::uint16_t* beginDraw() override {
    calls += "begin ";
    return giveFrame ? frame.data() : nullptr;
  }
  void frameChanged() override { ++presents; }
  void suspend() override { calls += "suspend "; }
  void resume() override { calls += "resume "; }
  void endDraw() override { calls += "end "; }
  void closeInput() override { calls += "closeInput "; }
  void closeDisplay() override { calls += "closeDisplay"; }

  bool giveFrame;
  std::string calls;
  int presents = 0;
  std::vector<std::uint16_t> frame = std::vector<std::uint16_t>(platform::kFramePixels + 8, 0xBEEF);
};

TEST(Display, OpensAndClosesInOrderAndPresentsOnlyAChangedFrameWithoutItsSparePixel) {
  for (const bool giveFrame : {true, false}) {
    RecordingDevice device(giveFrame);
    platform::setDisplayDevice(&device);
    {
      gfx::Display display;
      gfx::Canvas canvas;  // the installed device's properties
      EXPECT_EQ(canvas.yStep, 320);
      for (std::size_t i = 0; i < gfx::Canvas::kBlockPixels; ++i) canvas.pixelBlock()[i] = static_cast<std::uint16_t>(i * 7 + 1);
      display.present(canvas);
      display.present(canvas);  // the same frame again
      canvas.pixelBlock()[gfx::Canvas::kBlockPixels - 1] = 0;  // the spare pixel is no change
      display.present(canvas);
      display.suspend();
      display.resume();
      EXPECT_EQ(device.presents, giveFrame ? 1 : 0);
      EXPECT_TRUE(std::equal(device.frame.begin(), device.frame.begin() + platform::kFramePixels, canvas.pixelBlock()) ==
                  giveFrame);
      EXPECT_EQ(std::count(device.frame.begin() + platform::kFramePixels, device.frame.end(), 0xBEEF), 8);
      canvas.pixelBlock()[76799] = 0;
      display.present(canvas);
      EXPECT_EQ(device.presents, giveFrame ? 2 : 0);
    }
    platform::setDisplayDevice(nullptr);
    EXPECT_EQ(device.calls, "open input begin suspend resume end closeInput closeDisplay");
  }
}

}  // namespace
