#include "platform/sdl/frame_scaler.hpp"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

constexpr std::size_t kRowBytes = kScreenWidth * sizeof(std::uint16_t);

// One table look-up per frame pixel, or two ORed when the table is split; the row is built
// once and copied `scale` times by the caller.
template <bool kSplit>
void scaleRow32(const std::uint16_t* source, const std::uint32_t* table, int scale, std::uint32_t* out) {
  const auto value = [table](std::uint16_t pixel) {
    if constexpr (kSplit) {
      return table[pixel >> 8] | table[256 + (pixel & 0xFFu)];
    } else {
      return table[pixel];
    }
  };
  if (scale == 2) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const std::uint32_t v = value(source[x]);
      out[0] = v;
      out[1] = v;
      out += 2;
    }
    return;
  }
  if (scale == 3) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const std::uint32_t v = value(source[x]);
      out[0] = v;
      out[1] = v;
      out[2] = v;
      out += 3;
    }
    return;
  }
  for (int x = 0; x < kScreenWidth; ++x) {
    const std::uint32_t v = value(source[x]);
    for (int k = 0; k < scale; ++k) *out++ = v;
  }
}

// The slow path for a window whose pixels are not 32 bits wide.
void scaleRowBytes(const std::uint16_t* source, const PixelLookup& lookup, int scale, int bytesPerPixel,
                   std::uint8_t* out) {
  for (int x = 0; x < kScreenWidth; ++x) {
    const std::uint32_t value = lookup[source[x]];
    std::uint8_t bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);
    for (int k = 0; k < scale; ++k) {
      std::memcpy(out, bytes, static_cast<std::size_t>(bytesPerPixel));
      out += bytesPerPixel;
    }
  }
}

std::uint32_t mapPixel(const MapRgb& mapRgb, unsigned pixel) {
  return mapRgb(expandFiveBits(pixel >> 11), expandSixBits(pixel >> 5), expandFiveBits(pixel));
}

}  // namespace

void PixelLookup::fillSplit(const MapRgb& mapRgb) {
  // The high byte holds red and the top three bits of green, the low byte the rest of green
  // and blue. Widened, green's top bits land on bits 7-5 and 1-0 and its low bits on 4-2, so
  // the two halves never share a bit.
  table_.resize(512);
  for (unsigned byte = 0; byte < 256; ++byte) {
    const unsigned greenHigh = byte & 7u;
    table_[byte] = mapRgb(expandFiveBits(byte >> 3),
                          static_cast<std::uint8_t>((greenHigh << 5) | (greenHigh >> 1)), 0);
    table_[256 + byte] = mapRgb(0, static_cast<std::uint8_t>((byte >> 5) << 2), expandFiveBits(byte));
  }
  split_ = true;
}

PixelLookup PixelLookup::ofBitFields(const MapRgb& mapRgb) {
  PixelLookup lookup;
  lookup.fillSplit(mapRgb);
  return lookup;
}

PixelLookup::PixelLookup(const MapRgb& mapRgb) {
  fillSplit(mapRgb);
  for (unsigned pixel = 0; pixel < 65536 && split_; ++pixel) {
    split_ = (*this)[static_cast<std::uint16_t>(pixel)] == mapPixel(mapRgb, pixel);
  }
  if (split_) return;
  table_.resize(65536);
  for (unsigned pixel = 0; pixel < 65536; ++pixel) table_[pixel] = mapPixel(mapRgb, pixel);
}

RowBand changedRows(const std::uint16_t* frame, const std::uint16_t* previous) {
  RowBand band;
  int first = 0;
  while (first < kScreenHeight &&
         std::memcmp(frame + first * kScreenWidth, previous + first * kScreenWidth, kRowBytes) == 0) {
    ++first;
  }
  if (first == kScreenHeight) return band;
  int last = kScreenHeight - 1;
  while (last > first &&
         std::memcmp(frame + last * kScreenWidth, previous + last * kScreenWidth, kRowBytes) == 0) {
    --last;
  }
  band.first = first;
  band.last = last;
  return band;
}

void scaleFrameRows(const std::uint16_t* frame, RowBand band, const PixelLookup& lookup,
                    const PictureLayout& layout, const PixelTarget& target, std::vector<std::uint32_t>& scratch) {
  if (band.empty() || lookup.empty() || target.pixels == nullptr) return;
  if (target.bytesPerPixel < 1 || target.bytesPerPixel > 4 || layout.scale < 1) return;
  const int scale = layout.scale;
  const int bytesPerPixel = target.bytesPerPixel;
  band.first = std::max(band.first, 0);
  band.last = std::min(band.last, kScreenHeight - 1);

  // The part of a scaled row that lies inside the target, in pixels from the row's start.
  const int visibleFrom = std::max(0, -layout.x);
  const int visibleTo = std::min(layout.width(), target.width - layout.x);
  if (visibleFrom >= visibleTo) return;
  const auto copyBytes = static_cast<std::size_t>((visibleTo - visibleFrom) * bytesPerPixel);
  const int destinationX = layout.x + visibleFrom;

  scratch.resize(static_cast<std::size_t>(layout.width()));
  auto* scratchBytes = reinterpret_cast<std::uint8_t*>(scratch.data());
  for (int row = band.first; row <= band.last; ++row) {
    const int top = layout.y + row * scale;
    if (top + scale <= 0 || top >= target.height) continue;
    const std::uint16_t* source = frame + row * kScreenWidth;
    if (bytesPerPixel == 4 && lookup.split()) {
      scaleRow32<true>(source, lookup.data(), scale, scratch.data());
    } else if (bytesPerPixel == 4) {
      scaleRow32<false>(source, lookup.data(), scale, scratch.data());
    } else {
      scaleRowBytes(source, lookup, scale, bytesPerPixel, scratchBytes);
    }
    const std::uint8_t* from = scratchBytes + static_cast<std::size_t>(visibleFrom * bytesPerPixel);
    for (int k = 0; k < scale; ++k) {
      const int y = top + k;
      if (y < 0 || y >= target.height) continue;
      std::uint8_t* to = target.pixels + static_cast<std::ptrdiff_t>(y) * target.pitch +
                         static_cast<std::ptrdiff_t>(destinationX) * bytesPerPixel;
      std::memcpy(to, from, copyBytes);
    }
  }
}

}  // namespace platform
