// HTTP GET and POST for the score exchange: the stand-in for the handheld's internet functions.
// A session bounds all its requests together, so a slow or dead server cannot freeze the
// game for longer than that, and carries them over one kept-alive connection when the
// server allows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace platform {

struct HttpReply {
  enum class Kind {
    Answered,    // the server sent a whole reply: `status` and `body` hold it
    NotReached,  // no connection, or it broke before a whole reply came (also a reply that is not HTTP)
    TimedOut,    // connected, but the session's time ran out before the reply was complete
  };
  Kind kind = Kind::NotReached;
  long status = 0;   // the HTTP status of an answered request, redirects included (never followed)
  std::string body;  // the start of the body, at most the maxBytes asked for

  bool answeredWith(long wanted) const { return kind == Kind::Answered && status == wanted; }
};

// Bounds of a session, in milliseconds.
struct HttpTimeouts {
  long connectMs;  // to establish one connection
  long sessionMs;  // every request of the session together, from its opening on
};

class HttpSession {
 public:
  virtual ~HttpSession() = default;
  // One request, given what remains of the session's time (and at most connectMs to
  // connect); TimedOut at once, with nothing sent, when none remains. A body longer than
  // maxBytes is cut there and still counts as answered.
  virtual HttpReply get(const std::string& url, std::size_t maxBytes) = 0;
  // One POST of `body` as `contentType`, on the same terms and the same connection as get.
  // The body goes out at once, without waiting for a "100 Continue".
  virtual HttpReply post(const std::string& url, std::span<const std::uint8_t> body, std::string_view contentType,
                         std::size_t maxBytes) = 0;
};

// Null when the HTTP library cannot start (the stand-in of a failed internet handle).
std::unique_ptr<HttpSession> openHttpSession(std::string_view agent, const HttpTimeouts& timeouts);

}  // namespace platform
