// The built game started as a process of its own, as the end-to-end tests run it.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// Forks and runs gameFolder() + "zebrolite" with `arguments`, SDL's invisible "dummy" video
// and audio drivers and the extra environment variables, its standard output and error on
// the descriptors `out` and `err` (which the caller still owns). The child's pid.
pid_t startGame(const std::vector<std::string>& arguments, int out, int err,
                const std::vector<std::pair<std::string, std::string>>& environment = {});

}  // namespace testing_support
