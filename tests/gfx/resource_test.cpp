#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "gfx/pixel.hpp"
#include "gfx/surface.hpp"
#include "platform/message_box.hpp"
#include "platform/resources.hpp"

namespace {

class ResourcePictures : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setMessageBoxHandler([this](std::string_view text, std::string_view caption) {
      boxes_.emplace_back(std::string(text), std::string(caption));
    });
  }
  void TearDown() override { platform::setMessageBoxHandler({}); }

  std::vector<std::pair<std::string, std::string>> boxes_;
};

TEST_F(ResourcePictures, LoadAtTheirSizeWithTheTopRowFirst) {
  const struct {
    int number, width, height;
    bool blueCorner;  // the digit strips lie on pure blue
  } cases[] = {{115, 192, 16, true}, {143, 160, 16, true}, {154, 5, 10, false}, {162, 210, 60, false}};
  for (const auto& c : cases) {
    gfx::Surface surface;
    gfx::loadPictureResource(surface, c.number);
    ASSERT_EQ(surface.width, c.width) << c.number;
    ASSERT_EQ(surface.height, c.height) << c.number;
    ASSERT_EQ(surface.pixels.size(), static_cast<std::size_t>(c.width * c.height));
    const platform::BitmapResource* resource = platform::findBitmapResource(c.number);
    ASSERT_NE(resource, nullptr);
    for (std::size_t i = 0; i < surface.pixels.size(); ++i) {
      const std::uint8_t* rgb = resource->rgb + 3 * i;
      const std::uint16_t expected =
          static_cast<std::uint16_t>((rgb[0] >> 3) << 11 | (rgb[1] >> 3) << 6 | (rgb[2] >> 3));
      if (surface.pixels[i] != expected) {
        ADD_FAILURE() << c.number << ": pixel " << i << " is " << surface.pixels[i] << ", expected " << expected;
        break;
      }
    }
    if (c.blueCorner) {
      EXPECT_EQ(surface.pixels.front(), 0x001F) << c.number;
      EXPECT_EQ(surface.pixels.back(), 0x001F) << c.number;
    }
  }
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(ResourcePictures, AMissingNumberShowsTheMessageAndLeavesThePictureEmpty) {
  for (const int number : {0, -1, 116, 131, 1000}) {
    gfx::Surface surface;
    gfx::loadPictureResource(surface, 154);
    ASSERT_FALSE(surface.empty());
    boxes_.clear();
    gfx::loadPictureResource(surface, number);
    EXPECT_TRUE(surface.empty()) << number;
    EXPECT_EQ(surface.width, 0);
    EXPECT_EQ(surface.height, 0);
    ASSERT_EQ(boxes_.size(), 1u) << number;
    EXPECT_EQ(boxes_[0].first, "ERROR LOAD RESOURCE");
    EXPECT_EQ(boxes_[0].second, "ERROR");
  }
}

}  // namespace
