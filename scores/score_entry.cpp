#include "scores/score_entry.hpp"

#include <algorithm>

namespace scores {

std::u16string ScoreEntry::nameText() const {
  const auto end = std::find(name.begin(), name.end(), u'\0');
  return std::u16string(name.begin(), end);
}

void ScoreEntry::setName(std::u16string_view text) {
  const std::size_t terminator = text.find(u'\0');
  if (terminator != std::u16string_view::npos) text = text.substr(0, terminator);
  text = text.substr(0, std::min(text.size(), kMaxNameLength));
  name.fill(u'\0');
  std::copy(text.begin(), text.end(), name.begin());
}

void ScoreEntry::renderPictures() {
  renderListText(namePicture, nameText());
  renderListText(scorePicture, score == 0 ? std::u16string(u" ") : decimalText(score));
}

void renderListText(gfx::TextSurface& surface, std::u16string_view text) {
  gfx::renderText(surface, text, kTextColour, kTextMaxWidth);
}

std::u16string decimalText(std::uint32_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

}  // namespace scores
