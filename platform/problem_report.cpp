#include "platform/problem_report.hpp"

#include <cstdio>

namespace platform {

void reportProblem(std::string_view text) {
  std::fprintf(stderr, "zebrolite: %.*s\n", static_cast<int>(text.size()), text.data());
  std::fflush(stderr);
}

}  // namespace platform
