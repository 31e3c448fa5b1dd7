#include "gfx/surface.hpp"

#include <algorithm>
#include <array>
#include <cctype>

#include "gfx/pixel.hpp"
#include "gfx/png_image.hpp"
#include "platform/files.hpp"
#include "platform/message_box.hpp"
#include "platform/resources.hpp"

namespace gfx {
namespace {

enum class PictureKind { Bmp = 0, Png = 1, Unknown = -1 };

struct ExtensionEntry {
  std::string_view extension;
  PictureKind kind;
};

// Kept in sorted order and searched by halving.
constexpr std::array<ExtensionEntry, 2> kExtensions{{{"BMP", PictureKind::Bmp}, {"PNG", PictureKind::Png}}};

PictureKind kindOfPath(std::string_view path) {
  const auto dot = path.find_last_of('.');
  if (dot == std::string_view::npos) return PictureKind::Unknown;
  std::string extension(path.substr(dot + 1));
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const auto it = std::lower_bound(kExtensions.begin(), kExtensions.end(), extension,
                                   [](const ExtensionEntry& e, const std::string& key) { return e.extension < key; });
  if (it == kExtensions.end() || it->extension != extension) return PictureKind::Unknown;
  return it->kind;
}

void convert(const PngImage& image, Surface& surface) {
  surface.width = image.width;
  surface.height = image.height;
  surface.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 0);
  const std::size_t stride = image.rowBytes();
  for (std::int32_t y = 0; y < image.height; ++y) {
    const std::uint8_t* row = image.rows.data() + stride * y;
    std::uint16_t* out = surface.pixels.data() + static_cast<std::size_t>(y) * image.width;
    for (std::int32_t x = 0; x < image.width; ++x) {
      if (image.bitsPerPixel == 8) {
        // An index beyond the palette reads as black rather than past its end.
        const std::uint8_t index = row[x];
        const PngImage::Rgb c = index < image.palette.size() ? image.palette[index] : PngImage::Rgb{};
        out[x] = packRgb(c.red, c.green, c.blue);
      } else {
        out[x] = packRgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
      }
    }
  }
}

}  // namespace

std::string imagePath(std::string_view name) { return platform::dataPath("image/") + std::string(name); }

void loadPicture(Surface& surface, const std::string& path) {
  surface.clear();
  if (kindOfPath(path) != PictureKind::Png) return;
  PngImage image;
  if (!decodePng(path, image)) return;
  convert(image, surface);
}

void loadPictureResource(Surface& surface, int number) {
  surface.clear();
  const platform::BitmapResource* resource = platform::findBitmapResource(number);
  if (resource == nullptr || resource->rgb == nullptr || resource->width <= 0 || resource->height <= 0) {
    platform::showMessageBox("ERROR LOAD RESOURCE", "ERROR");
    return;
  }
  surface.width = resource->width;
  surface.height = resource->height;
  surface.pixels.resize(static_cast<std::size_t>(resource->width) * resource->height);
  for (std::size_t i = 0; i < surface.pixels.size(); ++i) {
    const std::uint8_t* p = resource->rgb + 3 * i;
    surface.pixels[i] = packRgb(p[0], p[1], p[2]);
  }
}

}  // namespace gfx
