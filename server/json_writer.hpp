// A small JSON writer for the API's replies: objects, arrays, strings escaped as JSON wants
// (every control character, '"' and '\'; UTF-8 passed through as it is), integers and null.
// Commas are placed by the writer; the caller only opens, names and closes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace server {

class JsonWriter {
 public:
  JsonWriter& beginObject();
  JsonWriter& endObject();
  JsonWriter& beginArray();
  JsonWriter& endArray();
  // The name of the next member of the current object.
  JsonWriter& key(std::string_view name);
  JsonWriter& string(std::string_view utf8);
  JsonWriter& number(std::int64_t value);
  JsonWriter& number(std::uint64_t value);
  JsonWriter& null();

  const std::string& text() const { return text_; }

 private:
  void beforeValue();
  void appendEscaped(std::string_view utf8);

  std::string text_;
  std::vector<bool> first_;  // per open object or array: no member written yet
  bool afterKey_ = false;
};

}  // namespace server
