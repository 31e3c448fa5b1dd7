// UTF-8 and UTF-16 both ways: the names of the score table and the server's list, and the
// labels the picture tools draw, share one decoder.
#include "platform/unicode.hpp"

#include <gtest/gtest.h>

namespace {

TEST(UnicodeTest, DecodesUtf8AndReplacesEveryByteThatStartsNoCharacter) {
  const std::pair<std::string, std::u32string> cases[] = {
      {"A\xC2\xB7\xE2\x86\x90\xF0\x9F\x8E\xB2", U"A\u00B7\u2190\U0001F3B2"},
      {"\xE2\x86", U"\uFFFD\uFFFD"},               // truncated: the lead, then a stray continuation
      {"\xFF" "a", U"\uFFFDa"},                    // no lead byte at all
      {"\xC2" "a", U"\uFFFDa"},                    // the continuation missing: "a" stands on its own
      {"\xC0\xAF", U"\uFFFD\uFFFD"},               // an overlong "/"
      {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},     // a surrogate
      {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
  };
  for (const auto& [utf8, decoded] : cases) EXPECT_EQ(platform::decodeUtf8(utf8), decoded) << utf8;
}

TEST(UnicodeTest, UtfSixteenRoundTripsAndLoneSurrogatesBecomeReplacements) {
  EXPECT_EQ(platform::fromUtf8("Z\xF0\x9F\x8E\xB2"), std::u16string(u"Z\U0001F3B2"));
  EXPECT_EQ(platform::toUtf8(u"Z\U0001F3B2"), "Z\xF0\x9F\x8E\xB2");
  EXPECT_EQ(platform::toUtf8(std::u16string(1, char16_t{0xD800}) + u"a"), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(platform::fromUtf8("\xE2\x86"), std::u16string(u"\uFFFD\uFFFD"));
}

}  // namespace
