// One line on standard error about something the player should know (a file refused, a
// save that failed), prefixed with the program's name: "zebrolite: TEXT"; and the words of
// outside input such a line may quote.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

void reportProblem(std::string_view text);

// What a message shows of a word at most; the rest becomes "...".
constexpr std::size_t kQuotedBytes = 32;

// A word from a file or a script as a message shows it: in quotes, printable ASCII as it is,
// every other byte as \xHH, and cut short with "...", so that a binary or megabyte-long
// word can neither garble the terminal nor flood it.
std::string quoted(std::string_view word);

}  // namespace platform
