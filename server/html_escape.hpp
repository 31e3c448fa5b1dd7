// Text from players made safe to stand in HTML, in an element's content or in a quoted
// attribute value.
#pragma once

#include <string>
#include <string_view>

namespace server {

// Appends `text` with '<', '>', '&', '"' and '\'' as character references. Whatever cannot
// be shown as text becomes U+FFFD: each malformed UTF-8 byte, and every control character
// (U+0000 to U+001F, U+007F to U+009F, tab and line breaks included, since a name never
// holds them and they would only hide or reflow what it does hold).
void appendEscapedHtml(std::string& out, std::string_view text);

std::string escapeHtml(std::string_view text);

}  // namespace server
