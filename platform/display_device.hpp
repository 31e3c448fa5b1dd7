// The frame buffer device: the stand-in for the handheld's full-screen display API.
// It hands out a frame of 240 x 320 16-bit pixels at a stable address for the whole run.
#pragma once

#include <cstdint>

namespace platform {

// The handheld's portrait screen, in pixels: the size of every frame, canvas and full-screen
// picture, and what the window shows scaled.
constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
constexpr int kFramePixels = kScreenWidth * kScreenHeight;

struct DisplayProperties {
  std::uint32_t cxWidth = kScreenWidth;
  std::uint32_t cyHeight = kScreenHeight;
  std::int32_t cbxPitch = 2;                 // bytes from a pixel to its right neighbour
  std::int32_t cbyPitch = 2 * kScreenWidth;  // bytes from a pixel to the one below
  std::uint32_t cBPP = 16;
  std::uint32_t ffFormat = 0xA0;  // direct colour, 5-6-5
};

class DisplayDevice {
 public:
  virtual ~DisplayDevice() = default;
  virtual DisplayProperties properties() const = 0;
  virtual void openDisplay() = 0;
  virtual void openInput() = 0;
  // The frame memory (kFramePixels pixels), valid until closeDisplay().
  virtual std::uint16_t* beginDraw() = 0;
  // The frame memory holds a new picture; the device shows it when it next can.
  virtual void frameChanged() = 0;
  virtual void suspend() = 0;
  virtual void resume() = 0;
  virtual void endDraw() = 0;
  virtual void closeInput() = 0;
  virtual void closeDisplay() = 0;
};

// The installed device; the headless one (a frame in memory, shown nowhere) unless set.
DisplayDevice& displayDevice();
void setDisplayDevice(DisplayDevice* device);  // nullptr restores the headless device

}  // namespace platform
