// Draws every picture of the game and the resource pictures from code alone; the same
// program always writes the same bytes.
//   make_pictures IMAGE_DIR RESOURCE_DIR [--contact-sheet FILE]
//   make_pictures --enlarge PICTURE.png FACTOR OUT.png
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/common/png_write.hpp"
#include "tools/pictures/pictures.hpp"

namespace pictures {

void PictureSet::add(std::string name, tools::RgbPicture picture, tools::Key key) {
  PictureEntry entry;
  entry.name = std::move(name);
  entry.key = key;
  entry.rgb = std::move(picture);
  entries_.push_back(std::move(entry));
}

void PictureSet::addResource(std::string name, tools::RgbPicture picture, tools::Key key) {
  add(std::move(name), std::move(picture), key);
  entries_.back().resource = true;
}

void PictureSet::addIcon(std::string name, tools::Image picture) {
  PictureEntry entry;
  entry.name = std::move(name);
  entry.resource = true;
  entry.rgba = std::move(picture);
  entries_.push_back(std::move(entry));
}

const PictureEntry& PictureSet::find(const std::string& name) const {
  for (const PictureEntry& entry : entries_) {
    if (entry.name == name) return entry;
  }
  std::fprintf(stderr, "make_pictures: %s is drawn before it is made\n", name.c_str());
  std::exit(1);
}

}  // namespace pictures

namespace {

std::vector<std::uint8_t> rgbaBytes(const tools::Image& image) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(image.width()) * image.height() * 4);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const tools::Colour c = image.at(x, y);
      auto byte = [](float v) { return static_cast<std::uint8_t>(v <= 0 ? 0 : v >= 1 ? 255 : v * 255.0F + 0.5F); };
      bytes.insert(bytes.end(), {byte(c.r), byte(c.g), byte(c.b), byte(c.a)});
    }
  }
  return bytes;
}

int enlarge(const char* in, const char* factorText, const char* out) {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
  const int factor = std::atoi(factorText);
  if (factor < 1 || !tools::readPngRgba(in, width, height, rgba)) {
    std::fprintf(stderr, "make_pictures: cannot enlarge %s\n", in);
    return 1;
  }
  std::vector<std::uint8_t> big(static_cast<std::size_t>(width) * height * 4 * factor * factor);
  for (int y = 0; y < height * factor; ++y) {
    for (int x = 0; x < width * factor; ++x) {
      for (int k = 0; k < 4; ++k) {
        big[(static_cast<std::size_t>(y) * width * factor + x) * 4 + k] =
            rgba[(static_cast<std::size_t>(y / factor) * width + x / factor) * 4 + k];
      }
    }
  }
  return tools::writePngRgba(out, width * factor, height * factor, big) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--enlarge") return enlarge(argv[2], argv[3], argv[4]);
  const bool sheet = argc == 5 && std::string(argv[3]) == "--contact-sheet";
  if (argc != 3 && !sheet) {
    std::fprintf(stderr,
                 "usage: make_pictures IMAGE_DIR RESOURCE_DIR [--contact-sheet FILE]\n"
                 "       make_pictures --enlarge PICTURE.png FACTOR OUT.png\n");
    return 2;
  }
  pictures::PictureSet set;
  // Sprites first: the screens show them.
  pictures::makeBricks(set);
  pictures::makeBalls(set);
  pictures::makeBoard(set);
  pictures::makeDigits(set);
  pictures::makeItems(set);
  pictures::makeField(set);
  pictures::makeTitleScreens(set);
  pictures::makeMenus(set);
  pictures::makeHelpPages(set);
  pictures::makeScoreScreens(set);
  pictures::makeAppIcon(set);

  bool ok = true;
  for (const pictures::PictureEntry& entry : set.entries()) {
    const std::string path = std::string(entry.resource ? argv[2] : argv[1]) + "/" + entry.name;
    if (entry.rgba.width() > 0) {
      ok = tools::writePngRgba(path, entry.rgba.width(), entry.rgba.height(), rgbaBytes(entry.rgba)) && ok;
    } else {
      ok = tools::writePicture(path, entry.rgb) && ok;
    }
  }
  if (sheet) {
    const tools::Image contact = pictures::contactSheet(set);
    ok = tools::writePngRgba(argv[4], contact.width(), contact.height(), rgbaBytes(contact)) && ok;
  }
  return ok ? 0 : 1;
}
