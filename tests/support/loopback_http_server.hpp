// A small HTTP server on 127.0.0.1 for tests of the score exchange: it listens on a free port,
// answers every GET and POST through a handler of the test and records each request it receives, with
// the connection it came on. It keeps a connection open for as many requests as the client
// sends over it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class LoopbackHttpServer {
 public:
  struct Request {
    std::string target;     // path and query exactly as sent, percent-escapes untouched
    std::string path;
    std::string userAgent;
    int clientPort = 0;  // the client's end of the connection: one number per connection
    std::string method;     // "GET" or "POST"
    std::string body;       // a POST's body
    std::string contentType;
  };
  struct Reply {
    int status = 200;
    std::string body;
    int delayMs = 0;  // the reply waits this long (cut short when the server stops)
    std::string location;  // sent as the Location header when not empty
  };
  using Handler = std::function<Reply(const Request&)>;

  explicit LoopbackHttpServer(Handler handler);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // "http://127.0.0.1:PORT".
  std::string address() const;
  // The requests received so far, in order of arrival.
  std::vector<Request> requests() const;
  // The connections the requests so far came on.
  std::size_t connections() const;

  // The address of a loopback port on which nothing listens (connection refused).
  static std::string closedAddress();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace testing_support
