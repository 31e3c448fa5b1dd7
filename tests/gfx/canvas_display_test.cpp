// The Canvas layout and what the Display hands its device.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gfx/canvas.hpp"
#include "gfx/display.hpp"

namespace {

using Properties = platform::DisplayProperties;

TEST(Canvas, IsBlackToTheSparePixelWithStepsFromThePitches) {
  static_assert(gfx::Canvas::kBlockBytes == 153602 && gfx::Canvas::kFrameBytes == 153600);
  const gfx::Canvas black(Properties{});
  EXPECT_EQ(std::count(black.pixelBlock(), black.pixelBlock() + gfx::Canvas::kBlockPixels, 0), gfx::Canvas::kBlockPixels);
  // Half the pitches, shifted arithmetically; the block stays 153,602 bytes whatever the size says.
  const int cases[][4] = {{2, 480, 1, 240}, {2, -640, 1, -320}, {640, 2, 320, 1}, {-2, 480, -1, 240}, {3, -3, 1, -2}};
  for (const auto& c : cases) {
    const gfx::Canvas canvas(Properties{480, 320, c[0], c[1]});
    EXPECT_EQ(canvas.xStep, c[2]) << c[0];
    EXPECT_EQ(canvas.yStep, c[3]) << c[1];
  }
}

TEST(Canvas, HoldsOnlyLayoutsInsideItsBlock) {
  const struct {
    std::int32_t cbxPitch, cbyPitch;
    int width, height;
    bool holds;
  } cases[] = {
      {2, 480, 240, 320, true},   {2, 480, 241, 320, true},  // the spare pixel
      {2, 480, 242, 320, false},  {2, 480, 240, 321, false}, {2, 640, 320, 240, true},  {640, 2, 240, 320, true},
      {2, -480, 240, 320, false}, {2, -480, 240, 1, true},   {-2, 480, 2, 320, false}, {2, 480, 0, 5000, true},
  };
  for (const auto& c : cases) {
    const gfx::Canvas canvas(Properties{240, 320, c.cbxPitch, c.cbyPitch});
    EXPECT_EQ(canvas.holds(c.width, c.height), c.holds) << c.cbxPitch << " " << c.cbyPitch << " " << c.width << "x" << c.height;
  }
}

// Records every call and hands out a frame with guard pixels after it (or none).
class RecordingDevice : public platform::DisplayDevice {
 public:
  static constexpr std::uint16_t kGuard = 0xBEEF;
  explicit RecordingDevice(bool giveFrame) : giveFrame_(giveFrame) {}
  Properties properties() const override { return Properties{320, 240, 2, 640}; }
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
  long presents() const { return std::count(calls.begin(), calls.end(), "frameChanged"); }

  std::vector<std::string> calls;
  std::vector<std::uint16_t> frame = std::vector<std::uint16_t>(platform::kFramePixels + 8, kGuard);

 private:
  bool giveFrame_;
};

TEST(Display, OpensAndClosesInOrderAndPresentsOnlyAChangedFrame) {
  for (const bool giveFrame : {true, false}) {
    RecordingDevice device(giveFrame);
    platform::setDisplayDevice(&device);
    {
      gfx::Display display;
      gfx::Canvas canvas;  // the installed device's properties
      EXPECT_EQ(canvas.yStep, 320);
      for (std::size_t i = 0; i < gfx::Canvas::kBlockPixels; ++i) canvas.pixelBlock()[i] = static_cast<std::uint16_t>(i * 7 + 1);
      display.present(canvas);
      display.suspend();
      display.resume();
      EXPECT_EQ(device.presents(), giveFrame ? 1 : 0);
      if (giveFrame) {
        EXPECT_TRUE(std::equal(device.frame.begin(), device.frame.begin() + platform::kFramePixels, canvas.pixelBlock()));
        EXPECT_TRUE(std::all_of(device.frame.begin() + platform::kFramePixels, device.frame.end(),
                                [](std::uint16_t p) { return p == RecordingDevice::kGuard; }));
        display.present(canvas);  // the same frame again
        canvas.pixelBlock()[gfx::Canvas::kBlockPixels - 1] = 0;  // the spare pixel is no change
        display.present(canvas);
        EXPECT_EQ(device.presents(), 1);
        canvas.pixelBlock()[76799] = 0;
        display.present(canvas);
        EXPECT_EQ(device.presents(), 2);
        EXPECT_EQ(device.frame[76799], 0);
      }
    }
    platform::setDisplayDevice(nullptr);
    device.calls.erase(std::remove(device.calls.begin(), device.calls.end(), "frameChanged"), device.calls.end());
    EXPECT_EQ(device.calls, (std::vector<std::string>{"openDisplay", "openInput", "beginDraw", "suspend", "resume",
                                                      "endDraw", "closeInput", "closeDisplay"}));
  }
}

}  // namespace
