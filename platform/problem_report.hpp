// One line on standard error about something the player should know (a file refused, a
// save that failed), prefixed with the program's name: "zebrolite: TEXT".
#pragma once

#include <string_view>

namespace platform {

void reportProblem(std::string_view text);

}  // namespace platform
