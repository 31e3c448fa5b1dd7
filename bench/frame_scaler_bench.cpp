// What a window update costs us: scaling the frame into a 32-bit window surface.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "platform/display_device.hpp"
#include "platform/sdl/frame_scaler.hpp"

namespace {

std::uint32_t mapArgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

// Arguments: scale, rows changed (320 for a whole new picture, 8 for a moving paddle).
void ScaleFrameRows(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  const int rows = static_cast<int>(state.range(1));
  const platform::PixelLookup lookup(mapArgb);
  std::array<std::uint16_t, platform::kFramePixels> frame{};
  for (int i = 0; i < platform::kFramePixels; ++i) frame[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i * 37);
  const int width = 240 * scale;
  const int height = 320 * scale;
  std::vector<std::uint32_t> surface(static_cast<std::size_t>(width * height));
  std::vector<std::uint32_t> scratch;
  const platform::PixelTarget target{reinterpret_cast<std::uint8_t*>(surface.data()), width * 4, width, height, 4};
  const platform::RowBand band{280, 280 + rows - 1 < 319 ? 280 + rows - 1 : 319};
  const platform::RowBand all{0, 319};
  for (auto _ : state) {
    platform::scaleFrameRows(frame.data(), rows >= 320 ? all : band, lookup, platform::PictureLayout{scale, 0, 0},
                             target, scratch);
    benchmark::DoNotOptimize(surface.data());
  }
}
BENCHMARK(ScaleFrameRows)->Args({2, 320})->Args({3, 320})->Args({4, 320})->Args({3, 8})->Unit(benchmark::kMicrosecond);

void FindChangedRows(benchmark::State& state) {
  std::array<std::uint16_t, platform::kFramePixels> a{};
  std::array<std::uint16_t, platform::kFramePixels> b{};
  b[290 * 240] = 1;
  for (auto _ : state) benchmark::DoNotOptimize(platform::changedRows(a.data(), b.data()));
}
BENCHMARK(FindChangedRows)->Unit(benchmark::kMicrosecond);

}  // namespace
