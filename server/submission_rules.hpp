// What the server accepts as a name and a score, and the submission query of the game's
// protocol ("myname=NAME&myscore=N") checked against both.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace server {

// Counted in UTF-16 code units, as the game's client keeps a name: a character beyond
// U+FFFF counts two. The client stops reading the whole list at a longer name, so one such
// name would cut every player's list short.
constexpr std::size_t kMaxNameUnits = 8;

// nullopt when the name is acceptable, else the reason. Acceptable: valid UTF-8 (no
// overlong forms, no surrogates), 1 to kMaxNameUnits UTF-16 code units, no control
// character (U+0000..U+001F, U+007F..U+009F), never ',' or ';' (they would forge records
// in the list reply).
std::optional<std::string> nameRefusal(std::string_view utf8);

// 1 to 4,294,967,295 in plain decimal digits: no sign, blank or exponent, at most 10
// digits (leading zeros count).
std::optional<std::uint32_t> parseScore(std::string_view text);

struct SubmissionCheck {
  std::string name;  // UTF-8
  std::uint32_t score = 0;
  std::string refusal;  // empty when the submission is acceptable
  bool ok() const { return refusal.empty(); }
};

// The raw query of a submission: exactly the keys myname and myscore, each once, values
// percent-decoded and then validated.
SubmissionCheck checkSubmission(std::string_view rawQuery);

}  // namespace server
