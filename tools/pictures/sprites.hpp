// Sprite drawing shared by the sprite sheets and the pictures that show sprites (cover, help
// pages): one brick, one item icon, one ball, one paddle, at any place of an image.
#pragma once

#include "tools/common/picture_file.hpp"
#include "tools/pictures/style.hpp"

namespace pictures {

constexpr int kBrickWidth = 20;
constexpr int kBrickHeight = 12;
constexpr int kItemSize = 30;
constexpr int kBallSize = 12;

// Brick kinds as the level file numbers them.
enum BrickKind { kStone = 1, kMetal = 2, kGem = 3, kHide = 4, kStable = 5, kFire = 6 };

// One 20 x 12 frame with its top-left corner at (x, y). Frames: Metal 0 intact, 1 damaged;
// Gem 0, 1, 2 as it loses hit points; Fire 0, 1, 2 flicker; others 0. Gem corners are left
// transparent.
void drawBrick(Image& image, int kind, int variant, int frame, int x, int y);

// Item icon of kind 1 .. 14, 30 x 30, top-left at (x, y); its corners are left transparent.
void drawItemIcon(Image& image, int kind, int x, int y);

// Ball kinds: 0 normal, 1 fire (frames 0 .. 3), 2 pierce; the 12 x 12 cell at (x, y).
void drawBall(Image& image, int kind, int frame, float x, float y);

// A paddle body of the given width (80, 60 or 40) and 10 pixels high at (x, y).
void drawPaddle(Image& image, float x, float y, float width);
// The 8 x 8 attachments: guns and sticky pads.
void drawGun(Image& image, float x, float y);
void drawStickyPad(Image& image, float x, float y);

// Copies a rectangle of a finished picture as the game draws it: pixels that read as the key
// are skipped.
void drawKeyed(Image& image, const tools::RgbPicture& picture, int sx, int sy, int w, int h, int dx, int dy,
               tools::Key key);

// A grey ball as the item icons show it, radius r at (cx, cy).
void drawGreyBall(Image& image, float cx, float cy, float r);

}  // namespace pictures
