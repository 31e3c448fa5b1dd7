// A one-line JSON writer (the driver's state dump, the score server's API): objects, arrays,
// numbers, booleans, null and UTF-8 strings, with commas placed by the writer. Strings are
// escaped as JSON requires ('"', '\' and every control character below U+0020); other bytes
// pass through as they are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace platform {

class JsonLine {
 public:
  JsonLine& beginObject();
  JsonLine& endObject();
  JsonLine& beginArray();
  JsonLine& endArray();
  JsonLine& key(std::string_view name);
  JsonLine& number(std::int64_t value);
  JsonLine& boolean(bool value);
  JsonLine& string(std::string_view value);
  JsonLine& null();

  // Any integer, a bool or a string, by type.
  template <typename T>
  JsonLine& value(const T& v) {
    if constexpr (std::is_same_v<T, bool>) {
      return boolean(v);
    } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
      return number(static_cast<std::int64_t>(v));
    } else {
      return string(v);
    }
  }

  template <typename T>
  JsonLine& field(std::string_view name, const T& v) {
    return key(name).value(v);
  }

  const std::string& text() const { return text_; }

 private:
  void separate();
  void appendString(std::string_view text);

  std::string text_;
  std::vector<bool> needsComma_;  // one per open object or array
  bool afterKey_ = false;
};

}  // namespace platform
