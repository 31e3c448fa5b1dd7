#include "platform/sdl/window_layout.hpp"

#include <gtest/gtest.h>

namespace platform {
namespace {

struct ScaleCase {
  int requested;
  int desktopWidth;
  int desktopHeight;
  int expected;
};

class WindowScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(WindowScale, IsTheOneAskedForOrTheLargestThatFits) {
  const ScaleCase& c = GetParam();
  EXPECT_EQ(chooseWindowScale(c.requested, c.desktopWidth, c.desktopHeight), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Desktops, WindowScale,
                         ::testing::Values(ScaleCase{0, 1920, 1040, 3},   // full HD less a panel
                                           ScaleCase{0, 1280, 1024, 3},   // exactly 960 tall fits
                                           ScaleCase{0, 1280, 959, 2},    // one pixel short of 3
                                           ScaleCase{0, 2560, 1400, 4},   // height decides
                                           ScaleCase{0, 3840, 2160, 6},
                                           ScaleCase{0, 719, 2000, 2},    // width decides
                                           ScaleCase{0, 800, 600, 2},     // too small: still 2
                                           ScaleCase{0, 0, 0, 2},         // bounds unknown
                                           ScaleCase{1, 3840, 2160, 1},   // --scale when it fits
                                           ScaleCase{3, 1280, 1024, 3},   // exactly fits
                                           ScaleCase{4, 1280, 1024, 3},   // too tall: the largest that fits
                                           ScaleCase{5, 1280, 1024, 3},
                                           ScaleCase{3, 719, 2000, 2},    // too wide
                                           ScaleCase{5, 800, 600, 1},     // only 1 fits
                                           ScaleCase{2, 200, 300, 1},     // nothing fits: still 1
                                           ScaleCase{5, 0, 0, 5}));       // bounds unknown: as asked

TEST(PictureLayout, CentresTheLargestWholeScaleWithAnEvenOrLowerLeftLetterbox) {
  EXPECT_EQ(layoutPicture(720, 960), (PictureLayout{3, 0, 0}));
  EXPECT_EQ(layoutPicture(1280, 1024), (PictureLayout{3, 280, 32}));
  EXPECT_EQ(layoutPicture(1920, 1080), (PictureLayout{3, 600, 60}));
  // 959 tall: scale 2 (640), 319 pixels left over; the odd one goes to the bottom.
  EXPECT_EQ(layoutPicture(721, 959), (PictureLayout{2, 120, 159}));
  EXPECT_EQ(layoutPicture(241, 320), (PictureLayout{1, 0, 0}));
}

TEST(PictureLayout, AWindowSmallerThanThePictureCropsItEvenly) {
  const PictureLayout layout = layoutPicture(200, 300);
  EXPECT_EQ(layout.scale, 1);
  EXPECT_EQ(layout.x, -20);
  EXPECT_EQ(layout.y, -10);
}

struct MapCase {
  int windowX;
  int windowY;
  PicturePoint expected;
};

class PenMapping : public ::testing::TestWithParam<MapCase> {};

// Full screen 1280 x 1024: the picture at scale 3 from (280, 32) to (999, 991).
TEST_P(PenMapping, MapsThroughScaleAndLetterboxAndClampsToThePicture) {
  const MapCase& c = GetParam();
  EXPECT_EQ(windowToPicture(PictureLayout{3, 280, 32}, c.windowX, c.windowY), c.expected);
}

INSTANTIATE_TEST_SUITE_P(FullScreen, PenMapping,
                         ::testing::Values(MapCase{280, 32, {0, 0}},         // first picture pixel
                                           MapCase{282, 34, {0, 0}},         // same block
                                           MapCase{283, 35, {1, 1}},         // next block
                                           MapCase{999, 991, {239, 319}},    // last picture pixel
                                           MapCase{997, 989, {239, 319}},    // its block's corner
                                           MapCase{996, 988, {238, 318}},
                                           MapCase{279, 31, {0, 0}},         // letterbox, left-top
                                           MapCase{0, 0, {0, 0}},
                                           MapCase{1000, 992, {239, 319}},   // letterbox, right-bottom
                                           MapCase{1279, 1023, {239, 319}},
                                           MapCase{-50, 500, {0, 156}},      // outside the window
                                           MapCase{640, 5000, {120, 319}}));

TEST(PenMapping, TheLastPixelOfAnExactWindowIsTheLastPictureRowAndColumn) {
  EXPECT_EQ(windowToPicture(layoutPicture(480, 640), 479, 639), (PicturePoint{239, 319}));
  EXPECT_EQ(windowToPicture(layoutPicture(480, 640), 478, 638), (PicturePoint{239, 319}));
  EXPECT_EQ(windowToPicture(layoutPicture(480, 640), 477, 637), (PicturePoint{238, 318}));
}

}  // namespace
}  // namespace platform
