#include "platform/sdl/sdl_display.hpp"

#include <SDL.h>

#include <algorithm>

namespace platform {

SdlDisplay::SdlDisplay(SDL_Window* window, int refreshRate)
    : window_(window),
      interval_(std::chrono::duration_cast<Clock::duration>(
          std::chrono::microseconds(1'000'000 / std::max(refreshRate, 1)))) {}

void SdlDisplay::frameChanged() {
  pending_ = true;
  service();
}

void SdlDisplay::suspend() { suspended_ = true; }

void SdlDisplay::resume() {
  suspended_ = false;
  // The frame may have moved on while nothing was shown.
  pending_ = true;
  service();
}

void SdlDisplay::invalidate() {
  wholeWindow_ = true;
  pending_ = true;
}

void SdlDisplay::service() {
  if (!pending_) return;
  if (suspended_ && !wholeWindow_) return;
  if (Clock::now() < nextDue_) return;
  show();
}

int SdlDisplay::millisecondsUntilDue() const {
  if (!pending_ || (suspended_ && !wholeWindow_)) return -1;
  const auto left = nextDue_ - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  // Rounded up, so that a wait of this length never wakes before the update is due.
  return static_cast<int>((std::chrono::duration_cast<std::chrono::microseconds>(left).count() + 999) / 1000);
}

void SdlDisplay::windowToSurface(int& x, int& y) const {
  int windowWidth = 0;
  int windowHeight = 0;
  int pixelWidth = 0;
  int pixelHeight = 0;
  SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
  SDL_GetWindowSizeInPixels(window_, &pixelWidth, &pixelHeight);
  if (windowWidth > 0 && windowHeight > 0 && (pixelWidth != windowWidth || pixelHeight != windowHeight)) {
    x = static_cast<int>(static_cast<long long>(x) * pixelWidth / windowWidth);
    y = static_cast<int>(static_cast<long long>(y) * pixelHeight / windowHeight);
  }
}

bool SdlDisplay::prepareSurface(SDL_Surface* surface) {
  const SDL_PixelFormat* format = surface->format;
  if (format->BytesPerPixel < 1 || format->BytesPerPixel > 4) return false;
  if (lookup_.empty() || lookupFormat_ != format->format) {
    const MapRgb map = [format](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
      return static_cast<std::uint32_t>(SDL_MapRGB(format, r, g, b));
    };
    // Without a palette SDL_MapRGB shifts each channel into its mask and ORs them.
    lookup_ = format->palette == nullptr ? PixelLookup::ofBitFields(map) : PixelLookup(map);
    lookupFormat_ = format->format;
    wholeWindow_ = true;
  }
  const PictureLayout layout = layoutPicture(surface->w, surface->h);
  if (layout != layout_) {
    layout_ = layout;
    wholeWindow_ = true;
  }
  return true;
}

void SdlDisplay::show() {
  pending_ = false;
  // The next update keeps to the monitor's beat even when this one came late (a busy
  // machine wakes us a few milliseconds after the due time), but never follows this one
  // by less than half a refresh: on average no more updates than the monitor shows.
  const Clock::time_point now = Clock::now();
  nextDue_ = std::max(nextDue_ + interval_, now + interval_ / 2);
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr || !prepareSurface(surface)) return;

  // Suspended, the window only repairs itself from what it showed last.
  const std::uint16_t* source = suspended_ ? shown_.data() : frame_.data();
  RowBand band;
  if (wholeWindow_) {
    band = RowBand{0, kScreenHeight - 1};
  } else {
    band = changedRows(frame_.data(), shown_.data());
    if (band.empty()) return;
  }

  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
  if (wholeWindow_) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  const PixelTarget target{static_cast<std::uint8_t*>(surface->pixels), surface->pitch, surface->w, surface->h,
                           surface->format->BytesPerPixel};
  scaleFrameRows(source, band, lookup_, layout_, target, scratch_);
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);

  if (!suspended_) {
    std::copy(frame_.begin() + band.first * kScreenWidth, frame_.begin() + (band.last + 1) * kScreenWidth,
              shown_.begin() + band.first * kScreenWidth);
  }
  if (wholeWindow_) {
    wholeWindow_ = false;
    SDL_UpdateWindowSurface(window_);
  } else {
    SDL_Rect rows{layout_.x, layout_.y + band.first * layout_.scale, layout_.width(),
                  (band.last - band.first + 1) * layout_.scale};
    SDL_Rect visible{};
    const SDL_Rect whole{0, 0, surface->w, surface->h};
    if (SDL_IntersectRect(&rows, &whole, &visible) == SDL_TRUE) SDL_UpdateWindowSurfaceRects(window_, &visible, 1);
  }
  ++windowUpdates_;
}

}  // namespace platform
