// Percent-decoding of query values as the game's client encodes them: letters, digits and
// "-._~" as they are, every other byte as %XX.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace server {

// %XX in either case becomes its byte; '+' stays a plus (the client never sends a space
// as '+'); any other byte is kept as it is, to be judged by the validation after decoding.
// nullopt when a '%' is not followed by two hexadecimal digits.
std::optional<std::string> percentDecode(std::string_view text);

}  // namespace server
