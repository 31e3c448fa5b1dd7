#include "app/script.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <sstream>
#include <string_view>

#include "platform/messages.hpp"
#include "platform/problem_report.hpp"

namespace app {
namespace {

struct NamedKey {
  const char* name;
  std::uint32_t key;
};

constexpr std::array<NamedKey, 16> kKeyNames{{
    {"RETURN", win::VK_RETURN}, {"LEFT", win::VK_LEFT}, {"UP", win::VK_UP},     {"RIGHT", win::VK_RIGHT},
    {"DOWN", win::VK_DOWN},     {"1", '1'},             {"2", '2'},             {"3", '3'},
    {"4", '4'},                 {"5", '5'},             {"6", '6'},             {"7", '7'},
    {"8", '8'},                 {"APP1", win::VK_APP1}, {"APP3", win::VK_APP3}, {"APP4", win::VK_APP4},
}};

// A signed decimal or a 0x hex number that fits 64 bits.
bool parseNumber(const std::string& word, std::int64_t& value) {
  const char* begin = word.data();
  const char* end = begin + word.size();
  bool negative = false;
  if (begin != end && *begin == '-') {
    negative = true;
    ++begin;
  }
  int base = 10;
  if (end - begin > 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X')) {
    base = 16;
    begin += 2;
  }
  if (begin == end) return false;
  std::uint64_t magnitude = 0;
  const auto [stop, ec] = std::from_chars(begin, end, magnitude, base);
  if (ec != std::errc{} || stop != end || magnitude > 0x7FFFFFFFFFFFFFFFull) return false;
  value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

struct Shape {
  const char* words;  // the command's leading words
  ScriptVerb verb;
  int numbers;        // numeric arguments that must follow
  std::int64_t low;   // their range
  std::int64_t high;
};

constexpr std::int64_t kInt32Min = -2147483648LL;
constexpr std::int64_t kInt32Max = 2147483647LL;
constexpr std::int64_t kUint32Max = 4294967295LL;

constexpr std::array<Shape, 25> kShapes{{
    {"seed", ScriptVerb::Seed, 1, 0, kUint32Max},
    {"pen down", ScriptVerb::PenDown, 2, 0, 65535},
    {"pen move", ScriptVerb::PenMove, 2, 0, 65535},
    {"pen up", ScriptVerb::PenUp, 2, 0, 65535},
    {"activate", ScriptVerb::Activate, 0, 0, 0},
    {"deactivate", ScriptVerb::Deactivate, 0, 0, 0},
    {"focus on", ScriptVerb::FocusOn, 0, 0, 0},
    {"focus off", ScriptVerb::FocusOff, 0, 0, 0},
    {"dump", ScriptVerb::Dump, 0, 0, 0},
    {"hash", ScriptVerb::Hash, 0, 0, 0},
    {"autopilot on", ScriptVerb::AutopilotOn, 0, 0, 0},
    {"autopilot off", ScriptVerb::AutopilotOff, 0, 0, 0},
    {"autopilot games", ScriptVerb::AutopilotGames, 1, 0, kInt32Max},
    {"cell", ScriptVerb::Cell, 3, kInt32Min, kInt32Max},
    {"hide", ScriptVerb::Hide, 3, kInt32Min, kInt32Max},
    {"ball add", ScriptVerb::BallAdd, 6, kInt32Min, kInt32Max},
    {"ball rest", ScriptVerb::BallRest, 1, kInt32Min, kInt32Max},
    {"ball clear", ScriptVerb::BallClear, 0, 0, 0},
    {"paddle x", ScriptVerb::PaddleX, 1, kInt32Min, kInt32Max},
    {"paddle size", ScriptVerb::PaddleSize, 1, 0, 2},
    {"paddle attach", ScriptVerb::PaddleAttach, 1, 0, 2},
    {"item add", ScriptVerb::ItemAdd, 5, kInt32Min, kInt32Max},
    {"lives", ScriptVerb::Lives, 1, kInt32Min, kInt32Max},
    {"score", ScriptVerb::Score, 1, 0, kUint32Max},
    {"level", ScriptVerb::Level, 1, kInt32Min, kInt32Max},
}};

std::vector<std::string> splitWords(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

bool fail(ScriptError& error, int line, std::string message) {
  error.line = line;
  error.message = std::move(message);
  return false;
}

// Matches a command whose numeric arguments follow its leading words.
bool parseShaped(const std::vector<std::string>& words, int line, ScriptCommand& command, ScriptError& error,
                 bool& matched) {
  for (const Shape& shape : kShapes) {
    const std::vector<std::string> lead = splitWords(shape.words);
    if (words.size() < lead.size() || !std::equal(lead.begin(), lead.end(), words.begin())) continue;
    matched = true;
    const std::size_t given = words.size() - lead.size();
    if (given != static_cast<std::size_t>(shape.numbers)) {
      std::string message = "'";
      message.append(shape.words).append("' takes ").append(std::to_string(shape.numbers));
      message.append(shape.numbers == 1 ? " argument, not " : " arguments, not ").append(std::to_string(given));
      return fail(error, line, std::move(message));
    }
    command.verb = shape.verb;
    for (std::size_t i = lead.size(); i < words.size(); ++i) {
      std::int64_t value = 0;
      if (!parseNumber(words[i], value)) return fail(error, line, platform::quoted(words[i]) + " is not a number");
      if (value < shape.low || value > shape.high) {
        return fail(error, line, platform::quoted(words[i]) + " is out of range for '" + shape.words + "'");
      }
      command.numbers.push_back(value);
    }
    return true;
  }
  return true;
}

bool parseLine(const std::vector<std::string>& words, int line, ScriptCommand& command, ScriptError& error) {
  command.line = line;
  const std::string& first = words[0];
  if (first == "tick") {
    command.verb = ScriptVerb::Tick;
    std::int64_t count = 1;
    if (words.size() > 2) return fail(error, line, "'tick' takes at most one argument");
    if (words.size() == 2 && (!parseNumber(words[1], count) || count < 0 || count > kInt32Max)) {
      return fail(error, line, platform::quoted(words[1]) + " is not a number of passes");
    }
    command.numbers.push_back(count);
    return true;
  }
  if (first == "key" || first == "keyup") {
    command.verb = first == "key" ? ScriptVerb::Key : ScriptVerb::KeyUp;
    if (words.size() != 2) return fail(error, line, "'" + first + "' takes one key name");
    std::uint32_t key = 0;
    if (!parseKeyName(words[1], key)) return fail(error, line, "unknown key " + platform::quoted(words[1]));
    command.numbers.push_back(key);
    return true;
  }
  if (first == "shot") {
    command.verb = ScriptVerb::Shot;
    if (words.size() != 2) return fail(error, line, "'shot' takes one file name");
    command.text = words[1];
    return true;
  }
  bool matched = false;
  if (!parseShaped(words, line, command, error, matched)) return false;
  if (!matched) return fail(error, line, "unknown command " + platform::quoted(first));
  return true;
}

}  // namespace

bool parseKeyName(const std::string& name, std::uint32_t& key) {
  for (const NamedKey& named : kKeyNames) {
    if (name == named.name) {
      key = named.key;
      return true;
    }
  }
  std::int64_t value = 0;
  if (name.size() < 2 || !parseNumber(name, value) || value < 0 || value > 255) return false;
  key = static_cast<std::uint32_t>(value);
  return true;
}

std::string keyName(std::uint32_t key) {
  for (const NamedKey& named : kKeyNames) {
    if (named.key == key) return named.name;
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", key & 0xFFu);
  return hex;
}

bool parseScript(const std::string& source, std::vector<ScriptCommand>& commands, ScriptError& error) {
  commands.clear();
  std::istringstream in(source);
  int line = 0;
  for (std::string text; std::getline(in, text);) {
    ++line;
    const auto hash = text.find('#');
    if (hash != std::string::npos) text.erase(hash);
    const std::vector<std::string> words = splitWords(text);
    if (words.empty()) continue;
    ScriptCommand command;
    if (!parseLine(words, line, command, error)) return false;
    commands.push_back(std::move(command));
  }
  return true;
}

}  // namespace app
