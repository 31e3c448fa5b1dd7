#include "platform/sdl/deferred_text_rasteriser.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

// Marks the first pixel of every render, so a test sees which renders reached it.
class MarkingRasteriser : public TextRasteriser {
 public:
  void render(std::string_view, std::uint32_t colour, int, int, std::uint32_t* pixels) override { pixels[0] = colour; }
};

struct Case {
  const char* name;
  bool opens;  // whether the opener finds a rasteriser
};

class DeferredText : public ::testing::TestWithParam<Case> {};

TEST_P(DeferredText, OpensOnceAtTheFirstRenderAndNotBefore) {
  int openings = 0;
  DeferredTextRasteriser deferred([&]() -> std::unique_ptr<TextRasteriser> {
    ++openings;
    if (!GetParam().opens) return nullptr;
    return std::make_unique<MarkingRasteriser>();
  });
  EXPECT_EQ(openings, 0);
  for (std::uint32_t colour : {0x123456u, 0xABCDEFu}) {
    std::vector<std::uint32_t> pixels(4, 0);
    deferred.render("Zebrolite", colour, 2, 2, pixels.data());
    // Without a rasteriser the text stays background, as when none is installed.
    EXPECT_EQ(pixels[0], GetParam().opens ? colour : 0u);
  }
  EXPECT_EQ(openings, 1);
}

INSTANTIATE_TEST_SUITE_P(Openers, DeferredText,
                         ::testing::Values(Case{"FontFound", true}, Case{"NoFont", false}),
                         [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace platform
