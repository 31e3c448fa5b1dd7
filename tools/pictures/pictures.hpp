// The pictures of the game, group by group, and the set they are collected in before they
// are written. Each group lives in its own source file.
#pragma once

#include <string>
#include <vector>

#include "tools/common/picture_file.hpp"
#include "tools/common/raster.hpp"

namespace pictures {

struct PictureEntry {
  std::string name;  // file name, "cover.png"
  bool resource = false;  // written to the resource folder, else to the image folder
  tools::Key key = tools::Key::None;  // the colour key the game draws it with
  tools::RgbPicture rgb;
  tools::Image rgba;  // the application icon only: written with its alpha
};

class PictureSet {
 public:
  void add(std::string name, tools::RgbPicture picture, tools::Key key = tools::Key::None);
  void addResource(std::string name, tools::RgbPicture picture, tools::Key key);
  void addIcon(std::string name, tools::Image picture);

  const std::vector<PictureEntry>& entries() const { return entries_; }
  // The picture of that name; exits the tool when there is none.
  const PictureEntry& find(const std::string& name) const;

 private:
  std::vector<PictureEntry> entries_;
};

void makeBricks(PictureSet& set);       // Brick_*.png
void makeBalls(PictureSet& set);        // ball.png, blast.png
void makeBoard(PictureSet& set);        // board.png, the shot (bitmap154)
void makeDigits(PictureSet& set);       // the digit strips (bitmap115, bitmap143)
void makeItems(PictureSet& set);        // the item icons (bitmap162)
void makeField(PictureSet& set);        // background.png, digitpanel.png
void makeTitleScreens(PictureSet& set);  // cover, about, pass, fail, win, pause
void makeMenus(PictureSet& set);        // menu and options pictures
void makeHelpPages(PictureSet& set);    // the four help pages
void makeScoreScreens(PictureSet& set);  // high scores, updating, name entry
void makeAppIcon(PictureSet& set);      // icon131-*.png

// A sheet of every picture, labelled, small ones enlarged, with previews of screens put
// together the way the game draws them.
tools::Image contactSheet(const PictureSet& set);

}  // namespace pictures
