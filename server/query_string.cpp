#include "server/query_string.hpp"

#include <algorithm>

#include "server/percent_decoding.hpp"

namespace server {
namespace {

bool isAllowed(std::string_view key, std::initializer_list<std::string_view> allowedKeys) {
  return std::find(allowedKeys.begin(), allowedKeys.end(), key) != allowedKeys.end();
}

}  // namespace

QueryString QueryString::parse(std::string_view raw, std::initializer_list<std::string_view> allowedKeys,
                               UnknownKeys unknownKeys) {
  const bool ignoreUnknown = unknownKeys == UnknownKeys::Ignored;
  QueryString query;
  if (!ignoreUnknown && raw.size() > kMaxQueryBytes) {
    query.refusal_ = "query longer than " + std::to_string(kMaxQueryBytes) + " bytes";
    return query;
  }
  std::size_t start = 0;
  while (start <= raw.size() && !raw.empty()) {
    const std::size_t end = std::min(raw.find('&', start), raw.size());
    const std::string_view pair = raw.substr(start, end - start);
    const std::size_t equals = pair.find('=');
    start = end + 1;
    if (ignoreUnknown) {
      const std::optional<std::string> key = percentDecode(pair.substr(0, equals));
      if (!key || !isAllowed(*key, allowedKeys)) continue;
    }
    if (equals == std::string_view::npos) {
      query.refusal_ = "query part without '=': every part is key=value";
      return query;
    }
    std::optional<std::string> key = percentDecode(pair.substr(0, equals));
    std::optional<std::string> value = percentDecode(pair.substr(equals + 1));
    if (!key || !value) {
      query.refusal_ = "bad percent escape: '%' must be followed by two hexadecimal digits";
      return query;
    }
    if (!isAllowed(*key, allowedKeys)) {
      query.refusal_ = "unknown query key: only";
      for (std::size_t i = 0; i < allowedKeys.size(); ++i) {
        query.refusal_ += i == 0 ? " " : ", ";
        query.refusal_ += allowedKeys.begin()[i];
      }
      query.refusal_ += " may be given";
      return query;
    }
    if (query.value(*key)) {
      query.refusal_ = "query key '" + *key + "' given more than once";
      return query;
    }
    query.pairs_.emplace_back(std::move(*key), std::move(*value));
  }
  return query;
}

std::optional<std::string_view> QueryString::value(std::string_view key) const {
  for (const auto& [k, v] : pairs_) {
    if (k == key) return std::string_view(v);
  }
  return std::nullopt;
}

}  // namespace server
