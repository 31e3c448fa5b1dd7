#include "platform/message_box.hpp"

#include <cstdio>
#include <string>
#include <utility>

namespace platform {
namespace {

MessageBoxHandler& handler() {
  static MessageBoxHandler current;
  return current;
}

}  // namespace

void showMessageBox(std::string_view text, std::string_view caption) {
  if (handler()) {
    handler()(text, caption);
    return;
  }
  std::fprintf(stderr, "messagebox: %s | %s\n", std::string(text).c_str(), std::string(caption).c_str());
  std::fflush(stderr);
}

void setMessageBoxHandler(MessageBoxHandler newHandler) { handler() = std::move(newHandler); }

}  // namespace platform
