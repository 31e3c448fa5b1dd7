#include "platform/problem_report.hpp"

#include <cstdio>

namespace platform {

void reportProblem(std::string_view text) {
  std::fprintf(stderr, "zebrolite: %.*s\n", static_cast<int>(text.size()), text.data());
  std::fflush(stderr);
}

std::string quoted(std::string_view word) {
  std::string shown = "'";
  for (const char c : word.substr(0, kQuotedBytes)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      shown.push_back(c);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown.append(escaped);
    }
  }
  if (word.size() > kQuotedBytes) shown.append("...");
  shown.push_back('\'');
  return shown;
}

}  // namespace platform
