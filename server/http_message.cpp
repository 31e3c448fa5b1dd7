#include "server/http_message.hpp"

#include <algorithm>

namespace server {

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::shared_ptr<const std::string> sharedBytes(std::string text) {
  return std::make_shared<const std::string>(std::move(text));
}

HttpReply textReply(Route route, int status, std::string text) {
  HttpReply reply;
  reply.route = route;
  reply.status = status;
  reply.body = sharedBytes(std::move(text));
  return reply;
}

bool etagMatches(std::string_view ifNoneMatch, std::string_view etag) {
  while (!ifNoneMatch.empty()) {
    const std::size_t comma = std::min(ifNoneMatch.find(','), ifNoneMatch.size());
    std::string_view tag = trimBlanks(ifNoneMatch.substr(0, comma));
    ifNoneMatch.remove_prefix(std::min(comma + 1, ifNoneMatch.size()));
    if (tag == "*") return true;
    if (tag.starts_with("W/")) tag.remove_prefix(2);
    if (!tag.empty() && tag == etag) return true;
  }
  return false;
}

}  // namespace server
