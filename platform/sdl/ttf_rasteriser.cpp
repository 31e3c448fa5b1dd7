#include "platform/sdl/ttf_rasteriser.hpp"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/sdl/text_wrap.hpp"

namespace platform {
namespace {

constexpr char kFallbackFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kLargestPointSize = 16;
constexpr int kSmallestPointSize = 6;

bool isFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string askFontconfig() {
  // A configuration of our own, destroyed afterwards: nothing of fontconfig stays loaded.
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (config == nullptr) return {};
  std::string file;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans,sans-serif:style=Book"));
  if (pattern != nullptr) {
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    if (match != nullptr) {
      FcChar8* path = nullptr;
      if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr) {
        file = reinterpret_cast<const char*>(path);
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  FcConfigDestroy(config);
  return file;
}

struct Ink {
  int widest = 0;   // pixels, advance of the widest reference letter
  int highest = 0;  // pixels above the baseline
  int lowest = 0;   // pixels below the baseline (negative)
};

// Letters that reach furthest right, up and down in Latin text.
Ink measureInk(TTF_Font* ttf) {
  Ink ink;
  for (const char* letter = "WMjgyQ|"; *letter != '\0'; ++letter) {
    int minX = 0;
    int maxX = 0;
    int minY = 0;
    int maxY = 0;
    int advance = 0;
    if (TTF_GlyphMetrics32(ttf, static_cast<Uint32>(*letter), &minX, &maxX, &minY, &maxY, &advance) != 0) continue;
    ink.widest = std::max(ink.widest, advance);
    ink.highest = std::max(ink.highest, maxY);
    ink.lowest = std::min(ink.lowest, minY);
  }
  return ink;
}

}  // namespace

struct TtfRasteriser::Font {
  TTF_Font* ttf = nullptr;
};

std::string findTextFont() {
  std::string file = askFontconfig();
  if (!file.empty() && isFile(file)) return file;
  if (isFile(kFallbackFont)) return kFallbackFont;
  return {};
}

std::unique_ptr<TtfRasteriser> TtfRasteriser::open(const std::string& fontFile) {
  if (fontFile.empty()) return nullptr;
  if (TTF_Init() != 0) return nullptr;
  TTF_Font* ttf = TTF_OpenFont(fontFile.c_str(), kLargestPointSize);
  if (ttf == nullptr) {
    TTF_Quit();
    return nullptr;
  }
  TTF_SetFontHinting(ttf, TTF_HINTING_NORMAL);
  TTF_SetFontKerning(ttf, 1);
  // The largest size at which the widest letter fits the 12-pixel cell and the tallest and
  // deepest letters together fit the 14-pixel line with a row to spare between lines.
  int pointSize = kLargestPointSize;
  Ink ink = measureInk(ttf);
  while (pointSize > kSmallestPointSize &&
         (ink.widest > kCellWidth || ink.highest - ink.lowest > kLineHeight - 1)) {
    --pointSize;
    if (TTF_SetFontSize(ttf, pointSize) != 0) break;
    ink = measureInk(ttf);
  }
  // SDL_ttf puts the baseline `ascent` rows down; moving the rendering up or down by this
  // much puts the lowest descender on the line's last row and leaves the room above.
  const int lowestRow = TTF_FontAscent(ttf) - ink.lowest - 1;
  const int shift = (kLineHeight - 1) - lowestRow;
  auto* font = new Font{ttf};
  return std::unique_ptr<TtfRasteriser>(new TtfRasteriser(font, pointSize, shift));
}

TtfRasteriser::TtfRasteriser(Font* font, int pointSize, int shift)
    : font_(font), pointSize_(pointSize), shift_(shift) {}

TtfRasteriser::~TtfRasteriser() {
  TTF_CloseFont(font_->ttf);
  delete font_;
  TTF_Quit();
}

void TtfRasteriser::render(std::string_view utf8, std::uint32_t colour, int width, int height,
                           std::uint32_t* pixels) {
  if (pixels == nullptr || width <= 0 || height <= 0 || utf8.empty()) return;
  TTF_Font* ttf = font_->ttf;
  const MeasureText measure = [ttf](std::string_view text) {
    if (text.empty()) return 0;
    const std::string piece(text);
    int w = 0;
    int h = 0;
    if (TTF_SizeUTF8(ttf, piece.c_str(), &w, &h) != 0) return 0;
    return w;
  };
  const std::vector<std::string> lines = wrapText(utf8, width, measure);
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const int top = static_cast<int>(index) * kLineHeight;
    if (top >= height) break;
    const std::string& line = lines[index];
    if (line.find_first_not_of(' ') == std::string::npos) continue;
    // Solid rendering: an 8-bit surface whose pixel 0 is the background and anything else
    // glyph, with no shades in between.
    SDL_Surface* glyphs = TTF_RenderUTF8_Solid(ttf, line.c_str(), SDL_Color{255, 255, 255, 255});
    if (glyphs == nullptr) continue;
    if (glyphs->format->BytesPerPixel == 1 && SDL_LockSurface(glyphs) == 0) {
      // Each line keeps to its own 14 rows, so lines never draw over one another.
      const int bottom = std::min(top + kLineHeight, height);
      const int columns = std::min(glyphs->w, width);
      for (int y = std::max(top, top + shift_); y < std::min(bottom, top + shift_ + glyphs->h); ++y) {
        const auto* source =
            static_cast<const Uint8*>(glyphs->pixels) + static_cast<std::ptrdiff_t>(y - top - shift_) * glyphs->pitch;
        std::uint32_t* out = pixels + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = 0; x < columns; ++x) {
          if (source[x] != 0) out[x] = colour;
        }
      }
      SDL_UnlockSurface(glyphs);
    }
    SDL_FreeSurface(glyphs);
  }
}

}  // namespace platform
