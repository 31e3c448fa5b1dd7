// What the application draws for its full-screen pictures.
#include "gfx/pixel.hpp"
#include "tests/app/app_fixture.hpp"
#include "tests/app/test_files.hpp"

namespace app_test {
namespace {

using app::AppState;

constexpr Rgb kCover{200, 40, 40};
constexpr Rgb kPause{40, 200, 40};
constexpr Rgb kWon{40, 40, 200};
constexpr Rgb kAbout{120, 120, 40};

class DrawTest : public AppFixture {
 public:
  void prepareData() override {
    writeFlatPng(data_.file("image/cover.png"), 240, 320, kCover);
    writeFlatPng(data_.file("image/pause.png"), 240, 320, kPause);
    writeFlatPng(data_.file("image/win.png"), 240, 320, kWon);
    writeFlatPng(data_.file("image/about.png"), 240, 320, kAbout);
  }
  std::uint16_t centre() { return app().backBuffer().at(120, 160); }
};

TEST_F(DrawTest, TheCoverIsInTheBackBufferFromConstruction) { EXPECT_EQ(centre(), pixelOf(kCover)); }

TEST_F(DrawTest, PausedGameShowsThePausePicture) {
  toPlaying();
  app().onAppButton4();
  app().draw();
  EXPECT_EQ(centre(), pixelOf(kPause));
}

TEST_F(DrawTest, TheWipeEndsOnTheScreenEntered) {
  app().update(10);
  app().draw();
  // The first update begins the wipe: the middle of the screen still shows the cover.
  EXPECT_EQ(centre(), pixelOf(kCover));
  finishTransition();
  app().draw();
  EXPECT_EQ(centre(), pixelOf(kAbout));
  app().startTransition(AppState::About, AppState::GameWon);
  for (int i = 0; i < 55; ++i) app().update(10);
  app().draw();
  EXPECT_EQ(centre(), pixelOf(kWon));
  EXPECT_EQ(app().backBuffer().at(239, 319), gfx::mixPixels(pixelOf(kAbout), pixelOf(kWon), 4));
}

}  // namespace
}  // namespace app_test
