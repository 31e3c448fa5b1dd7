#include "platform/text_rasteriser.hpp"

namespace platform {
namespace {

TextRasteriser* installed = nullptr;

}  // namespace

TextRasteriser* textRasteriser() { return installed; }

void setTextRasteriser(TextRasteriser* rasteriser) { installed = rasteriser; }

}  // namespace platform
