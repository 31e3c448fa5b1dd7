// The headless driver's scripts, any bytes: the parser accepts or stops at the first bad
// line, and says why in a message of printable ASCII and bounded length, whatever binary or
// long words the line holds. What it accepts is in range: key names read back as the same
// key, numbers within their command's bounds, line numbers rising.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/script.hpp"
#include "fuzz/support/scratch.hpp"

namespace {

// The longest message: a fixed text around two quoted words of 32 bytes, each byte at most
// four characters as \xHH.
constexpr std::size_t kLongestMessage = 400;

void checkMessage(const app::ScriptError& error) {
  if (error.line < 1) fuzzing::violated("an error without its line");
  if (error.message.empty() || error.message.size() > kLongestMessage) fuzzing::violated("an error message too long");
  for (const char c : error.message) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) fuzzing::violated("an error message with a byte that is not printable");
  }
}

void checkCommands(const std::vector<app::ScriptCommand>& commands) {
  int line = 0;
  for (const app::ScriptCommand& command : commands) {
    if (command.line <= line) fuzzing::violated("line numbers that do not rise");
    line = command.line;
    if (command.verb == app::ScriptVerb::Key || command.verb == app::ScriptVerb::KeyUp) {
      std::uint32_t key = 0;
      if (command.numbers.size() != 1 || !app::parseKeyName(app::keyName(static_cast<std::uint32_t>(command.numbers[0])), key) ||
          key != command.numbers[0]) {
        fuzzing::violated("a key that does not read back");
      }
    }
    for (const std::int64_t number : command.numbers) {
      if (number < -2147483648LL || number > 4294967295LL) fuzzing::violated("a number beyond 32 bits");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string source(reinterpret_cast<const char*>(data), size);
  std::vector<app::ScriptCommand> commands;
  app::ScriptError error;
  if (app::parseScript(source, commands, error)) {
    checkCommands(commands);
  } else {
    checkMessage(error);
  }
  return 0;
}
