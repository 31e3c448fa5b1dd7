// HTTP GET for the score exchange: the stand-in for the handheld's internet functions.
// Bounded by a connect time-out and a whole-exchange time-out, so a dead server cannot
// freeze the game for long.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class HttpSession {
 public:
  virtual ~HttpSession() = default;
  // The reply body, cut at maxBytes; nullopt when the request failed (no connection,
  // time-out, or an HTTP error status).
  virtual std::optional<std::string> get(const std::string& url, std::size_t maxBytes) = 0;
};

// Bounds of every request of a session, in milliseconds.
struct HttpTimeouts {
  long connectMs = 3000;  // to establish the connection
  long totalMs = 5000;    // the whole request, connection and reply included
};

// Null when the HTTP library cannot start (the stand-in of a failed internet handle).
std::unique_ptr<HttpSession> openHttpSession(std::string_view agent);
std::unique_ptr<HttpSession> openHttpSession(std::string_view agent, const HttpTimeouts& timeouts);

}  // namespace platform
