// Breaking a text into lines that fit a width, the way the handheld's text drawing breaks
// words: between words where a line would be too wide, and inside a word only when the word
// alone is wider than the line.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The width in pixels a piece of UTF-8 text takes when drawn on one line.
using MeasureText = std::function<int(std::string_view utf8)>;

// The lines of `utf8` within `width` pixels. A line feed always ends a line. The spaces
// where a line is broken are dropped; spaces inside a line are kept as written. A word wider
// than the width is broken between characters (never inside a UTF-8 sequence), and a line
// always holds at least one character, so a very narrow width still makes progress.
std::vector<std::string> wrapText(std::string_view utf8, int width, const MeasureText& measure);

}  // namespace platform
