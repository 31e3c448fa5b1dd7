// One row of the high-score list: a name of up to 8 characters, its score, whether it was
// entered on this device and still waits for the server's list, and its two text pictures.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/text_surface.hpp"

namespace scores {

struct ScoreEntry {
  static constexpr std::size_t kMaxNameLength = 8;

  // 1: entered here and not yet replaced by the server's list.
  std::uint8_t pendingUpload = 0;
  // UTF-16 code units; name[kMaxNameLength] is always 0, so the name is always terminated.
  std::array<char16_t, kMaxNameLength + 1> name{};
  // Compared as an unsigned number: 3,000,000,000 beats 2,000,000,000.
  std::uint32_t score = 0;
  // Rendered by renderPictures; empty until then.
  gfx::TextSurface namePicture;
  gfx::TextSurface scorePicture;

  // The name up to its terminator.
  std::u16string nameText() const;
  // Keeps the text up to its first 0 and at most 8 code units of it.
  void setName(std::u16string_view text);
  // The name in white, and the score in decimal (a single space when it is 0), each at most
  // 176 pixels wide.
  void renderPictures();
};

// Place numbers, names and scores are all rendered alike.
constexpr std::uint32_t kTextColour = 0xFFFFFF;
constexpr int kTextMaxWidth = 176;  // pixels

void renderListText(gfx::TextSurface& surface, std::u16string_view text);
std::u16string decimalText(std::uint32_t value);

}  // namespace scores
