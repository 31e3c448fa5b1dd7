#include "tools/common/text.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/unicode.hpp"

namespace tools {

struct Font::Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
};

namespace {

struct PlacedGlyph {
  int left = 0;  // pixels from the pen start
  int top = 0;   // pixels above the baseline
  int width = 0;
  int rows = 0;
  std::vector<float> coverage;
};

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "make_pictures: %s\n", what.c_str());
  std::exit(1);
}

}  // namespace

Font::Font(const std::string& path) : face_(std::make_unique<Face>()), path_(path) {
  if (FT_Init_FreeType(&face_->library) != 0) fail("cannot start FreeType");
  if (FT_New_Face(face_->library, path.c_str(), 0, &face_->face) != 0) fail("cannot read the font " + path);
}

Font::~Font() {
  if (face_->face != nullptr) FT_Done_Face(face_->face);
  if (face_->library != nullptr) FT_Done_FreeType(face_->library);
}

TextMask Font::render(std::string_view utf8, const TextStyle& style) const {
  FT_Face face = face_->face;
  FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(style.size * 64)), 72, 72);
  if (style.slant != 0) {
    FT_Matrix shear{0x10000, static_cast<FT_Fixed>(std::lround(style.slant * 0x10000)), 0, 0x10000};
    FT_Set_Transform(face, &shear, nullptr);
  } else {
    FT_Set_Transform(face, nullptr, nullptr);
  }
  const FT_Int32 flags = style.mono ? (FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME)
                                    : (FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT);

  std::vector<PlacedGlyph> glyphs;
  long pen = 0;  // 26.6 pixels
  FT_UInt previous = 0;
  int ascent = 0;
  int descent = 0;
  int right = 0;
  int leftmost = 0;
  for (const char32_t code : platform::decodeUtf8(utf8)) {
    const FT_UInt index = FT_Get_Char_Index(face, code);
    if (index == 0) fail("the font " + path_ + " has no glyph U+" + std::to_string(static_cast<unsigned>(code)));
    if (previous != 0 && FT_HAS_KERNING(face)) {
      FT_Vector kern{0, 0};
      FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern);
      pen += kern.x;
    }
    if (FT_Load_Glyph(face, index, flags) != 0) fail("cannot render a glyph of " + path_);
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    PlacedGlyph placed;
    placed.left = static_cast<int>((pen + 32) >> 6) + slot->bitmap_left;
    placed.top = slot->bitmap_top;
    placed.width = static_cast<int>(bitmap.width);
    placed.rows = static_cast<int>(bitmap.rows);
    placed.coverage.resize(static_cast<std::size_t>(placed.width) * placed.rows);
    for (int y = 0; y < placed.rows; ++y) {
      const unsigned char* row = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
      for (int x = 0; x < placed.width; ++x) {
        float v = 0;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
          v = ((row[x >> 3] >> (7 - (x & 7))) & 1) != 0 ? 1.0F : 0.0F;
        } else {
          v = static_cast<float>(row[x]) / 255.0F;
        }
        placed.coverage[static_cast<std::size_t>(y) * placed.width + x] = v;
      }
    }
    if (placed.width > 0 && placed.rows > 0) {
      ascent = std::max(ascent, placed.top);
      descent = std::max(descent, placed.rows - placed.top);
      right = std::max(right, placed.left + placed.width);
      leftmost = std::min(leftmost, placed.left);
    }
    glyphs.push_back(std::move(placed));
    pen += slot->advance.x + std::lround(style.tracking * 64);
    previous = index;
  }
  FT_Set_Transform(face, nullptr, nullptr);

  TextMask text;
  text.advance = static_cast<int>((pen - std::lround(style.tracking * 64) + 32) >> 6);
  text.ascent = ascent;
  text.descent = descent;
  text.baseline = kTextMargin + ascent;
  const int width = std::max(right, text.advance) - leftmost + 2 * kTextMargin;
  text.mask = Mask(width, ascent + descent + 2 * kTextMargin);
  for (const PlacedGlyph& g : glyphs) {
    for (int y = 0; y < g.rows; ++y) {
      for (int x = 0; x < g.width; ++x) {
        const int mx = kTextMargin + g.left + x;
        const int my = text.baseline - g.top + y;
        if (mx < 0 || my < 0 || mx >= text.mask.width() || my >= text.mask.height()) continue;
        text.mask.ref(mx, my) = std::max(text.mask.at(mx, my), g.coverage[static_cast<std::size_t>(y) * g.width + x]);
      }
    }
  }
  return text;
}

int Font::measure(std::string_view utf8, const TextStyle& style) const { return render(utf8, style).advance; }

int Font::capHeight(const TextStyle& style) const { return render("H", style).ascent; }

}  // namespace tools
