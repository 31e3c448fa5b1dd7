#include "platform/json_line.hpp"

#include <cstdio>

namespace platform {

void JsonLine::separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!needsComma_.empty()) {
    if (needsComma_.back()) text_ += ',';
    needsComma_.back() = true;
  }
}

JsonLine& JsonLine::beginObject() {
  separate();
  text_ += '{';
  needsComma_.push_back(false);
  return *this;
}

JsonLine& JsonLine::endObject() {
  text_ += '}';
  needsComma_.pop_back();
  return *this;
}

JsonLine& JsonLine::beginArray() {
  separate();
  text_ += '[';
  needsComma_.push_back(false);
  return *this;
}

JsonLine& JsonLine::endArray() {
  text_ += ']';
  needsComma_.pop_back();
  return *this;
}

JsonLine& JsonLine::key(std::string_view name) {
  separate();
  appendString(name);
  text_ += ':';
  afterKey_ = true;
  return *this;
}

JsonLine& JsonLine::number(std::int64_t value) {
  separate();
  text_ += std::to_string(value);
  return *this;
}

JsonLine& JsonLine::boolean(bool value) {
  separate();
  text_ += value ? "true" : "false";
  return *this;
}

JsonLine& JsonLine::null() {
  separate();
  text_ += "null";
  return *this;
}

JsonLine& JsonLine::string(std::string_view value) {
  separate();
  appendString(value);
  return *this;
}

void JsonLine::appendString(std::string_view text) {
  text_ += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      text_ += escaped;
    } else {
      text_ += c;
    }
  }
  text_ += '"';
}

}  // namespace platform
