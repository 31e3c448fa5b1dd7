// Feeds arbitrary bytes to the picture loader, through a file as the game reads its
// pictures. The loader must never crash, read out of bounds or leak, nor print anything but
// its one line refusing a picture too large to draw, and a picture it accepts must hold
// exactly width x height pixels with bit 5 clear.
//   png_fuzz -dict=fuzz/png.dict CORPUS_DIR $ZEBROLITE_TESTDATA_DIR/pngsuite
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "gfx/surface.hpp"

namespace {

// One file per fuzzing process, so parallel jobs do not overwrite each other's input;
// removed when the process ends.
class InputFile {
 public:
  InputFile()
      : path_((std::filesystem::temp_directory_path() /
               ("zebrolite-png-fuzz-" + std::to_string(std::random_device{}()) + ".png"))
                  .string()) {}
  ~InputFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const std::string& inputPath() {
  static const InputFile file;
  return file.path();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(inputPath().c_str(), "wb");
  if (file == nullptr) return 0;
  const bool written = std::fwrite(data, 1, size, file) == size;
  if (std::fclose(file) != 0 || !written) return 0;

  gfx::Surface surface;
  gfx::loadPicture(surface, inputPath());
  if (!surface.empty()) {
    if (surface.width <= 0 || surface.height <= 0 ||
        surface.pixels.size() != static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height)) {
      __builtin_trap();
    }
    for (const std::uint16_t pixel : surface.pixels) {
      if ((pixel & 0x20) != 0) __builtin_trap();
    }
  } else if (surface.width != 0 || surface.height != 0) {
    __builtin_trap();
  }
  return 0;
}
