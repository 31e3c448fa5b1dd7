// Modal message boxes. The window backend shows a real box; headless runs and tests see
// "messagebox: TEXT | CAPTION" on standard error or install a handler of their own.
#pragma once

#include <functional>
#include <string_view>

namespace platform {

void showMessageBox(std::string_view text, std::string_view caption);

using MessageBoxHandler = std::function<void(std::string_view text, std::string_view caption)>;

// An empty handler restores the default (standard error).
void setMessageBoxHandler(MessageBoxHandler handler);

}  // namespace platform
