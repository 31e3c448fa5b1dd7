#include "gfx/png_image.hpp"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "platform/files.hpp"
#include "platform/problem_report.hpp"

namespace gfx {
namespace {

// libpng refuses ancillary chunks declaring more data than this before allocating for them.
constexpr png_alloc_size_t kMaxChunkBytes = 4 * 1024 * 1024;

void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietWarning(png_structp, png_const_charp) {}

// Everything that must survive a long jump lives here, outside the frame that calls setjmp.
struct Decode {
  std::string path;
  std::FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<std::uint8_t> rowBuffer;
};

bool readRows(Decode& d, PngImage& image) {
  if (setjmp(png_jmpbuf(d.png))) return false;
  // libpng's own size limit would refuse a huge header without a word; ours below speaks.
  png_set_user_limits(d.png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  png_set_chunk_malloc_max(d.png, kMaxChunkBytes);
  // Text, physical and other side chunks play no part in a picture's pixels; skipping them
  // unread keeps a hostile length in one of them from costing a huge allocation.
  static constexpr png_byte kIgnoredChunks[] = "bKGD\0eXIf\0hIST\0iTXt\0oFFs\0pCAL\0pHYs\0sCAL\0sPLT\0sTER\0tEXt\0tIME\0zTXt";
  png_set_keep_unknown_chunks(d.png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
  png_set_keep_unknown_chunks(d.png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks, static_cast<int>(sizeof kIgnoredChunks / 5));
  png_init_io(d.png, d.file);
  png_read_info(d.png, d.info);

  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colourType = 0;
  int interlace = 0;
  png_get_IHDR(d.png, d.info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
  if (width == 0 || height == 0) return false;
  // Checked before any pixel memory is allocated: the header alone can ask for gigabytes.
  if (width > kLargestPictureSide || height > kLargestPictureSide) {
    platform::reportProblem("picture " + d.path + " is " + std::to_string(width) + " x " + std::to_string(height) +
                            " pixels, larger than the " + std::to_string(kLargestPictureSide) + " x " +
                            std::to_string(kLargestPictureSide) + " the game can draw; not loaded");
    return false;
  }

  const bool isPalette = colourType == PNG_COLOR_TYPE_PALETTE;
  if (isPalette) {
    if (bitDepth < 8) png_set_packing(d.png);
  } else {
    // Grey and low-bit pictures become 8-bit RGB; a transparent colour becomes alpha.
    png_set_expand(d.png);
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(d.png);
  }
  png_color_16 background{};
  background.red = 31;
  background.green = 127;
  background.blue = 255;
  png_set_background(d.png, &background, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
  if (bitDepth == 16) png_set_strip_16(d.png);

  image.width = static_cast<std::int32_t>(width);
  image.height = static_cast<std::int32_t>(height);
  image.bitsPerPixel = isPalette ? 8 : 24;
  image.colourType = colourType;

  png_colorp entries = nullptr;
  int count = 0;
  if (png_get_PLTE(d.png, d.info, &entries, &count) != 0 && count > 0) {
    image.palette.resize(static_cast<std::size_t>(count > 256 ? 256 : count));
    for (std::size_t i = 0; i < image.palette.size(); ++i) {
      image.palette[i] = {entries[i].red, entries[i].green, entries[i].blue};
    }
  }
  if (isPalette && image.palette.empty()) return false;

  const int passes = interlace != PNG_INTERLACE_NONE ? png_set_interlace_handling(d.png) : 1;
  png_read_update_info(d.png, d.info);
  const std::size_t decodedBytes = png_get_rowbytes(d.png, d.info);
  const std::size_t pixelBytes = static_cast<std::size_t>(image.bitsPerPixel / 8);
  if (decodedBytes != width * pixelBytes) return false;

  const std::size_t stride = image.rowBytes();
  image.rows.assign(stride * height, 0);
  d.rowBuffer.assign(decodedBytes, 0);
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y) {
      std::uint8_t* row = image.rows.data() + stride * y;
      if (pass > 0) std::memcpy(d.rowBuffer.data(), row, decodedBytes);
      png_read_row(d.png, d.rowBuffer.data(), nullptr);
      std::memcpy(row, d.rowBuffer.data(), decodedBytes);
    }
  }
  png_read_end(d.png, nullptr);
  return true;
}

}  // namespace

bool decodePng(const std::string& path, PngImage& image) {
  image = PngImage{};
  Decode d;
  d.path = path;
  std::string whyNot;
  d.file = platform::openFileForReading(path, whyNot);
  if (d.file == nullptr) return false;
  d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
  if (d.png != nullptr) d.info = png_create_info_struct(d.png);
  const bool ok = d.png != nullptr && d.info != nullptr && readRows(d, image);
  png_destroy_read_struct(d.png != nullptr ? &d.png : nullptr, d.info != nullptr ? &d.info : nullptr, nullptr);
  std::fclose(d.file);
  if (!ok) image = PngImage{};
  return ok;
}

}  // namespace gfx
