#include "platform/sdl/text_wrap.hpp"

#include <gtest/gtest.h>

namespace platform {
namespace {

// Ten pixels a character (a UTF-8 sequence counts once).
int tenPerCharacter(std::string_view text) {
  int characters = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
  }
  return characters * 10;
}

using Lines = std::vector<std::string>;

struct WrapCase {
  const char* text;
  int width;
  Lines expected;
};

class Wrap : public ::testing::TestWithParam<WrapCase> {};

TEST_P(Wrap, BreaksBetweenWordsAndInsideOnlyWordsTooWideForALine) {
  const WrapCase& c = GetParam();
  EXPECT_EQ(wrapText(c.text, c.width, tenPerCharacter), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Wrap,
    ::testing::Values(WrapCase{"100", 176, {"100"}},
                      WrapCase{" ", 176, {" "}},
                      WrapCase{"", 176, {""}},
                      WrapCase{"abc def", 70, {"abc def"}},           // exactly fits
                      WrapCase{"abc def", 69, {"abc", "def"}},        // the space is dropped at the break
                      WrapCase{"abc  def ghi", 80, {"abc  def", "ghi"}},
                      WrapCase{"abcdefghij", 40, {"abcd", "efgh", "ij"}},
                      WrapCase{"ab abcdefghij", 40, {"ab", "abcd", "efgh", "ij"}},
                      WrapCase{"abcdefghij xy", 40, {"abcd", "efgh", "ij", "xy"}},
                      WrapCase{"ab\ncd", 176, {"ab", "cd"}},
                      WrapCase{"ab\r\ncd", 176, {"ab", "cd"}},
                      WrapCase{"abc", 5, {"a", "b", "c"}},            // at least a character a line
                      WrapCase{"\xC3\xA9\xC3\xA9\xC3\xA9", 20, {"\xC3\xA9\xC3\xA9", "\xC3\xA9"}}));

}  // namespace
}  // namespace platform
