// Conversions between UTF-16 (the names of the score table) and UTF-8 (everything else).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Unpaired surrogates become U+FFFD.
std::string toUtf8(std::u16string_view text);

// UTF-8 to code points. Malformed sequences (a stray or truncated one, an overlong form, a
// surrogate, a code point beyond U+10FFFF) become U+FFFD, one for each byte that starts none.
std::u32string decodeUtf8(std::string_view text);

// decodeUtf8, with code points beyond U+FFFF as surrogate pairs.
std::u16string fromUtf8(std::string_view text);

// fromUtf8 for text that must be valid as it stands: nullopt when any sequence is malformed,
// truncated or overlong, an encoded surrogate or beyond U+10FFFF.
std::optional<std::u16string> fromUtf8Strict(std::string_view text);

}  // namespace platform
