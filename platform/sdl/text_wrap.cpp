#include "platform/sdl/text_wrap.hpp"

namespace platform {
namespace {

// The length in bytes of the UTF-8 sequence that starts at `i` (1 for a stray byte).
std::size_t sequenceLength(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length = 1;
  if (lead >= 0xF0) {
    length = 4;
  } else if (lead >= 0xE0) {
    length = 3;
  } else if (lead >= 0xC0) {
    length = 2;
  }
  std::size_t end = i + 1;
  while (end < text.size() && end < i + length && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return end - i;
}

// Splits a word that is wider than the line into pieces that fit, each at least one character.
void breakWord(std::string_view word, int width, const MeasureText& measure, std::vector<std::string>& lines,
               std::string& rest) {
  while (!word.empty()) {
    std::size_t fits = sequenceLength(word, 0);
    while (fits < word.size()) {
      const std::size_t next = fits + sequenceLength(word, fits);
      if (measure(word.substr(0, next)) > width) break;
      fits = next;
    }
    if (fits == word.size()) {
      rest.assign(word);
      return;
    }
    lines.emplace_back(word.substr(0, fits));
    word.remove_prefix(fits);
  }
}

void wrapParagraph(std::string_view paragraph, int width, const MeasureText& measure,
                   std::vector<std::string>& lines) {
  std::string line;
  std::size_t i = 0;
  bool lineHasWord = false;
  while (i < paragraph.size()) {
    const std::size_t spaceStart = i;
    while (i < paragraph.size() && paragraph[i] == ' ') ++i;
    const std::string_view spaces = paragraph.substr(spaceStart, i - spaceStart);
    const std::size_t wordStart = i;
    while (i < paragraph.size() && paragraph[i] != ' ') ++i;
    const std::string_view word = paragraph.substr(wordStart, i - wordStart);
    if (word.empty()) {
      // Trailing spaces stay on the line they follow; they draw nothing.
      line.append(spaces);
      break;
    }
    std::string candidate = line;
    candidate.append(spaces);
    candidate.append(word);
    if (measure(candidate) <= width) {
      line = std::move(candidate);
      lineHasWord = true;
      continue;
    }
    if (lineHasWord) {
      lines.push_back(std::move(line));
      line.clear();
    } else {
      // Leading spaces that cannot share a line with the word are dropped.
      line.clear();
    }
    if (measure(word) <= width) {
      line.assign(word);
    } else {
      breakWord(word, width, measure, lines, line);
    }
    lineHasWord = true;
  }
  lines.push_back(std::move(line));
}

}  // namespace

std::vector<std::string> wrapText(std::string_view utf8, int width, const MeasureText& measure) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = utf8.find('\n', start);
    std::string_view paragraph = utf8.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    wrapParagraph(paragraph, width, measure, lines);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace platform
