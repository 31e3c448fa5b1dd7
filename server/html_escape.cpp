#include "server/html_escape.hpp"

#include "platform/unicode.hpp"

namespace server {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool isC1Control(std::string_view text, std::size_t at) {
  return static_cast<unsigned char>(text[at]) == 0xC2 && at + 1 < text.size() &&
         static_cast<unsigned char>(text[at + 1]) >= 0x80 && static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

}  // namespace

void appendEscapedHtml(std::string& out, std::string_view text) {
  // The round trip through UTF-16 turns every malformed byte into U+FFFD, so what follows
  // walks valid UTF-8 only.
  const std::string valid = platform::toUtf8(platform::fromUtf8(text));
  out.reserve(out.size() + valid.size());
  for (std::size_t i = 0; i < valid.size(); ++i) {
    const char c = valid[i];
    switch (c) {
      case '<': out += "&lt;"; continue;
      case '>': out += "&gt;"; continue;
      case '&': out += "&amp;"; continue;
      case '"': out += "&quot;"; continue;
      case '\'': out += "&#39;"; continue;
      default: break;
    }
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      out += kReplacement;
    } else if (isC1Control(valid, i)) {
      out += kReplacement;
      ++i;
    } else {
      out += c;
    }
  }
}

std::string escapeHtml(std::string_view text) {
  std::string out;
  appendEscapedHtml(out, text);
  return out;
}

}  // namespace server
