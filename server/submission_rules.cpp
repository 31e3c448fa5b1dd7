#include "server/submission_rules.hpp"

#include "platform/unicode.hpp"
#include "server/query_string.hpp"

namespace server {
namespace {

constexpr std::size_t kMaxScoreDigits = 10;

bool isControl(char16_t unit) { return unit < 0x20 || (unit >= 0x7F && unit < 0xA0); }

}  // namespace

std::optional<std::string> nameRefusal(std::string_view utf8) {
  if (utf8.empty()) return "empty name";
  const std::optional<std::u16string> units = platform::fromUtf8Strict(utf8);
  if (!units) return "name is not valid UTF-8";
  if (units->size() > kMaxNameUnits) return "name longer than 8 characters (UTF-16 code units)";
  for (const char16_t unit : *units) {
    if (isControl(unit)) return "name holds a control character";
    if (unit == u',' || unit == u';') return "name holds ',' or ';'";
  }
  return std::nullopt;
}

std::optional<std::uint32_t> parseScore(std::string_view text) {
  if (text.empty() || text.size() > kMaxScoreDigits) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value == 0 || value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

SubmissionCheck checkSubmission(std::string_view rawQuery) {
  SubmissionCheck check;
  const QueryString query = QueryString::parse(rawQuery, {"myname", "myscore"});
  if (!query.ok()) {
    check.refusal = query.refusal();
    return check;
  }
  const std::optional<std::string_view> name = query.value("myname");
  const std::optional<std::string_view> score = query.value("myscore");
  if (!name || !score) {
    check.refusal = "a submission needs both myname and myscore";
    return check;
  }
  if (std::optional<std::string> refusal = nameRefusal(*name)) {
    check.refusal = std::move(*refusal);
    return check;
  }
  const std::optional<std::uint32_t> value = parseScore(*score);
  if (!value) {
    check.refusal = "score must be 1 to 4294967295 in plain decimal digits";
    return check;
  }
  check.name = std::string(*name);
  check.score = *value;
  return check;
}

}  // namespace server
