// The query of a request as a set of decoded values, for routes that accept a fixed set of
// keys each at most once. Programs (the game, the JSON API's clients) have every other key
// refused, so a misspelt key is an error and not a default; a page that people follow
// links to ignores the keys it does not know (the click IDs and campaign tags that social
// sites and mail append).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace server {

// Longer queries are refused before any decoding: no valid request of this server comes
// near it (a name is at most 8 characters of at most 4 bytes, 12 bytes each encoded).
constexpr std::size_t kMaxQueryBytes = 512;

enum class UnknownKeys { Refused, Ignored };

class QueryString {
 public:
  // Splits the raw query (without '?') at '&' into key=value pairs and decodes both.
  // Refused, with a one-line reason: a query over kMaxQueryBytes, a pair without '=', an
  // escape that is not %XX, a key not in `allowedKeys`, a key given twice. An empty query
  // has no pairs.
  //
  // With UnknownKeys::Ignored, a part whose key is not in `allowedKeys` is skipped whatever
  // it holds (no '=', an empty part, a bad escape) and the length is not limited: such a
  // query comes from a link, bounded by the request's header limit, and costs work in
  // proportion to its length. The allowed keys are checked as always.
  static QueryString parse(std::string_view raw, std::initializer_list<std::string_view> allowedKeys,
                           UnknownKeys unknownKeys = UnknownKeys::Refused);

  bool ok() const { return refusal_.empty(); }
  const std::string& refusal() const { return refusal_; }
  // The decoded value of a key; nullopt when the query did not give it.
  std::optional<std::string_view> value(std::string_view key) const;

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
  std::string refusal_;
};

}  // namespace server
