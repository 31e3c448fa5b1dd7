// The drawing operations at the sizes a frame of the game asks of them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "gfx/blit.hpp"
#include "gfx/canvas.hpp"
#include "gfx/display.hpp"
#include "gfx/pixel.hpp"
#include "gfx/surface.hpp"
#include "gfx/text_surface.hpp"

namespace {

gfx::Surface makePicture(int width, int height, std::uint16_t keyEvery, std::uint16_t key) {
  gfx::Surface s;
  s.width = width;
  s.height = height;
  s.pixels.resize(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < s.pixels.size(); ++i) {
    s.pixels[i] = keyEvery != 0 && i % keyEvery == 0 ? key : static_cast<std::uint16_t>((i * 2654435761u) >> 16 & 0xFFDF);
  }
  return s;
}

void fullScreenOpaquePicture(benchmark::State& state) {
  gfx::Canvas canvas(platform::DisplayProperties{});
  const gfx::Surface background = makePicture(240, 320, 0, 0);
  for (auto _ : state) {
    gfx::drawSprite(canvas, 0, 0, 0, 0, &background, 0, 0, gfx::kNoColourKey);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 240 * 320 * 2);
}
BENCHMARK(fullScreenOpaquePicture);

// The brick field: 16 rows of 12 bricks of 20 x 12, cut from a picture of brick frames,
// black transparent as the game draws them.
void keyedBrickField(benchmark::State& state) {
  gfx::Canvas canvas(platform::DisplayProperties{});
  const gfx::Surface bricks = makePicture(100, 60, 7, 0x0000);
  for (auto _ : state) {
    for (int row = 0; row < 16; ++row) {
      for (int column = 0; column < 12; ++column) {
        const int frame = (row * 12 + column) % 25;
        gfx::drawSprite(canvas, toFixed(20 * column), toFixed(12 * row), toFixed(20), toFixed(12), &bricks,
                        toFixed(20 * (frame % 5)), toFixed(12 * (frame / 5)), gfx::kKeyBlack);
      }
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 192);
}
BENCHMARK(keyedBrickField);

// A thousand particle pixels: positions spread over the screen, some off it, levels 0 .. 31.
void blendPoints(benchmark::State& state) {
  gfx::Canvas canvas(platform::DisplayProperties{});
  struct Point {
    Fixed x, y;
    std::uint32_t colour;
    int level;
  };
  std::vector<Point> points;
  std::uint32_t seed = 12345;
  for (int i = 0; i < 1000; ++i) {
    seed = seed * 214013 + 2531011;
    const int x = static_cast<int>(seed >> 16 & 0x7FFF) % 250 - 5;
    seed = seed * 214013 + 2531011;
    const int y = static_cast<int>(seed >> 16 & 0x7FFF) % 330 - 5;
    points.push_back({toFixed(x) + 0x8000, toFixed(y), 0x0040FFu + static_cast<std::uint32_t>(i), i % 32});
  }
  for (auto _ : state) {
    for (const Point& p : points) gfx::blendPoint(canvas, p.x, p.y, p.colour, p.level);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1000);
}
BENCHMARK(blendPoints);

// One step of the screen transition at its largest: the whole screen mixed.
void blendWholeScreen(benchmark::State& state) {
  gfx::Canvas canvas(platform::DisplayProperties{});
  gfx::Canvas from(platform::DisplayProperties{});
  for (std::size_t i = 0; i < gfx::Canvas::kBlockPixels; ++i) from.pixels[i] = static_cast<std::uint16_t>(i & 0xFFDF);
  for (auto _ : state) {
    gfx::blendScreenRect(canvas, 0, 0, 0, 0, &from, 0, 0, 16);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(blendWholeScreen);

// A high-score line: 176 x 14 of rendered text, only the ink drawn.
void drawTextLine(benchmark::State& state) {
  gfx::Canvas canvas(platform::DisplayProperties{});
  gfx::TextSurface text;
  text.width = 176;
  text.height = 14;
  text.colour = 0xFFFFFF;
  text.pixels.resize(176 * 14);
  for (std::size_t i = 0; i < text.pixels.size(); ++i) text.pixels[i] = i % 5 == 0 ? 0xFFDF : 0x0000;
  for (auto _ : state) {
    gfx::drawText(canvas, toFixed(40), toFixed(100), &text);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(drawTextLine);

// Presenting on the headless device: a changed frame is copied, an unchanged one only compared.
void presentChangedFrame(benchmark::State& state) {
  gfx::Display display;
  gfx::Canvas frames[2] = {gfx::Canvas(platform::DisplayProperties{}), gfx::Canvas(platform::DisplayProperties{})};
  frames[1].pixels[76799] = 0xFFDF;  // the last pixel: the compare runs the whole frame first
  int which = 0;
  for (auto _ : state) {
    display.present(frames[which]);
    which ^= 1;
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 153600);
}
BENCHMARK(presentChangedFrame);

void presentUnchangedFrame(benchmark::State& state) {
  gfx::Display display;
  gfx::Canvas canvas(platform::DisplayProperties{});
  canvas.pixels[76799] = 0x1234;
  display.present(canvas);
  for (auto _ : state) {
    display.present(canvas);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(presentUnchangedFrame);

}  // namespace
