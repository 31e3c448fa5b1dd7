// The state dump writes its JSON with the platform's writer.
#pragma once

#include "platform/json_line.hpp"

namespace app {

using JsonLine = platform::JsonLine;

}  // namespace app
