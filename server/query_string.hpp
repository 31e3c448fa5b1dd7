// The query of a request as a set of decoded values, for routes that accept a fixed set of
// keys each at most once.
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

class QueryString {
 public:
  // Splits the raw query (without '?') at '&' into key=value pairs and decodes both.
  // Refused, with a one-line reason: a query over kMaxQueryBytes, a pair without '=', an
  // escape that is not %XX, a key not in `allowedKeys`, a key given twice. An empty query
  // has no pairs.
  static QueryString parse(std::string_view raw, std::initializer_list<std::string_view> allowedKeys);

  bool ok() const { return refusal_.empty(); }
  const std::string& refusal() const { return refusal_; }
  // The decoded value of a key; nullopt when the query did not give it.
  std::optional<std::string_view> value(std::string_view key) const;

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
  std::string refusal_;
};

}  // namespace server
