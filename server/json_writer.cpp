#include "server/json_writer.hpp"

namespace server {

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) text_ += ',';
    first_.back() = false;
  }
}

JsonWriter& JsonWriter::beginObject() {
  beforeValue();
  text_ += '{';
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::endObject() {
  text_ += '}';
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::beginArray() {
  beforeValue();
  text_ += '[';
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::endArray() {
  text_ += ']';
  first_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
  beforeValue();
  appendEscaped(name);
  text_ += ':';
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::string(std::string_view utf8) {
  beforeValue();
  appendEscaped(utf8);
  return *this;
}

JsonWriter& JsonWriter::number(std::int64_t value) {
  beforeValue();
  text_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::number(std::uint64_t value) {
  beforeValue();
  text_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::null() {
  beforeValue();
  text_ += "null";
  return *this;
}

void JsonWriter::appendEscaped(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  text_ += '"';
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': text_ += "\\\""; break;
      case '\\': text_ += "\\\\"; break;
      case '\n': text_ += "\\n"; break;
      case '\r': text_ += "\\r"; break;
      case '\t': text_ += "\\t"; break;
      case '\b': text_ += "\\b"; break;
      case '\f': text_ += "\\f"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          text_ += "\\u00";
          text_ += kHex[byte >> 4];
          text_ += kHex[byte & 0x0F];
        } else {
          text_ += c;
        }
    }
  }
  text_ += '"';
}

}  // namespace server
