#include "app/help_screen.hpp"

#include "gfx/blit.hpp"
#include "gfx/pixel.hpp"

namespace app {

HelpScreen::HelpScreen() {
  gfx::loadPicture(keyHelpPicture_, gfx::imagePath("keyhelp.png"));
  gfx::loadPicture(brickHelpPicture_, gfx::imagePath("brickhelp.png"));
  gfx::loadPicture(toolHelpPicture_, gfx::imagePath("toolhelp.png"));
  gfx::loadPicture(mouseHelpPicture_, gfx::imagePath("mousehelp.png"));
}

HelpScreen::~HelpScreen() = default;

void HelpScreen::draw(gfx::Canvas& canvas) const {
  // The stylus page comes second, although its picture is loaded last.
  const gfx::Surface* picture = nullptr;
  switch (page_) {
    case 0: picture = &keyHelpPicture_; break;
    case 1: picture = &mouseHelpPicture_; break;
    case 2: picture = &brickHelpPicture_; break;
    case 3: picture = &toolHelpPicture_; break;
    default: return;
  }
  gfx::drawSprite(canvas, 0, 0, 0, 0, picture, 0, 0, gfx::kNoColourKey);
}

}  // namespace app
