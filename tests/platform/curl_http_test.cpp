// The libcurl session against servers on the loopback interface: answers with their status,
// bodies cut at the limit, one connection for a session, the session's time bound, and
// servers that cannot be reached or do not speak HTTP.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "platform/http.hpp"
#include "tests/support/loopback_http_server.hpp"

namespace platform {
namespace {

using testing_support::LoopbackHttpServer;
using Kind = HttpReply::Kind;

constexpr HttpTimeouts kGenerous{2000, 10000};

// Answers by path: "/big" and "/huge" bodies, "/slow" held back until the server stops,
// "/pause" after 200 ms, "/moved" a redirect, "/missing" and "/broken" error pages, anything
// else a short list.
LoopbackHttpServer::Reply answer(const LoopbackHttpServer::Request& request) {
  if (request.path == "/big") return {200, std::string(50000, 'x'), 0, ""};
  if (request.path == "/huge") return {200, std::string(200000, 'x'), 0, ""};
  if (request.path == "/slow") return {200, "late", 20000, ""};
  if (request.path == "/pause") return {200, "ok", 200, ""};
  if (request.path == "/moved") return {302, ";MOVED,1", 0, "/scores"};
  if (request.path == "/missing") return {404, "not here", 0, ""};
  if (request.path == "/broken") return {500, "oops", 0, ""};
  return {200, "1\tAnna\t1200\n", 0, ""};
}

TEST(HttpSession, EveryAnswerComesWithItsStatusAndBodyAndNoRedirectIsFollowed) {
  LoopbackHttpServer server(answer);
  auto session = openHttpSession("Zebrolite-test", kGenerous);
  ASSERT_TRUE(session);
  const std::tuple<const char*, long, std::string> cases[] = {
      {"/scores", 200, "1\tAnna\t1200\n"},
      {"/moved", 302, ";MOVED,1"},
      {"/missing", 404, "not here"},
      {"/broken", 500, "oops"},
  };
  for (const auto& [path, status, body] : cases) {
    const HttpReply reply = session->get(server.address() + path, 4096);
    EXPECT_EQ(reply.kind, Kind::Answered) << path;
    EXPECT_EQ(reply.status, status) << path;
    EXPECT_EQ(reply.body, body) << path;
  }
  EXPECT_EQ(server.requests().size(), 4u);
  EXPECT_EQ(server.requests()[0].userAgent, "Zebrolite-test");
  EXPECT_EQ(server.connections(), 1u);
}

TEST(HttpSession, ABodyIsCutAtTheLimitAndTheConnectionCarriesOn) {
  LoopbackHttpServer server(answer);
  auto session = openHttpSession("Zebrolite-test", kGenerous);
  ASSERT_TRUE(session);
  const std::tuple<const char*, std::size_t, std::size_t, std::size_t> cases[] = {
      // path, limit, body size, connections so far
      {"/big", 5000, 5000, 1},
      {"/big", 100000, 50000, 1},
      {"/scores", 0, 0, 1},
      {"/big", 0, 0, 1},    // the rest is read and dropped
      {"/huge", 0, 0, 1},   // too much to drop: the transfer ends there, and its connection
      {"/scores", 4096, 12, 2},
  };
  for (const auto& [path, limit, size, connections] : cases) {
    const HttpReply reply = session->get(server.address() + path, limit);
    EXPECT_TRUE(reply.answeredWith(200)) << path << " " << limit;
    EXPECT_EQ(reply.body.size(), size) << path << " " << limit;
    EXPECT_EQ(server.connections(), connections) << path << " " << limit;
  }
}

TEST(HttpSession, TheSessionsTimeBoundsAllItsRequestsTogether) {
  LoopbackHttpServer server(answer);
  {
    auto session = openHttpSession("Zebrolite-test", HttpTimeouts{1000, 300});
    ASSERT_TRUE(session);
    EXPECT_EQ(session->get(server.address() + "/slow", 4096).kind, Kind::TimedOut);
  }
  // Requests of a fifth of the session's time each: five at the most fit, however slow the
  // machine (without the bound all twenty would); the next is cut short or, when nothing
  // remains, never sent.
  auto session = openHttpSession("Zebrolite-test", HttpTimeouts{1000, 1000});
  ASSERT_TRUE(session);
  std::size_t answered = 0;
  HttpReply reply;
  for (int i = 0; i < 20; ++i) {
    reply = session->get(server.address() + "/pause", 4096);
    if (reply.kind != Kind::Answered) break;
    ++answered;
  }
  EXPECT_EQ(reply.kind, Kind::TimedOut);
  EXPECT_LE(answered, 5u);
  EXPECT_LE(server.requests().size(), 1 + answered + 1);
  // With no time at all nothing is sent.
  auto spent = openHttpSession("Zebrolite-test", HttpTimeouts{1000, 0});
  ASSERT_TRUE(spent);
  const std::size_t before = server.requests().size();
  EXPECT_EQ(spent->get(server.address() + "/scores", 4096).kind, Kind::TimedOut);
  EXPECT_EQ(server.requests().size(), before);
}

// Accepts one connection on the loopback interface, sends `bytes` (perhaps none) and closes it.
class RawServer {
 public:
  explicit RawServer(std::string bytes) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 1) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, bytes = std::move(bytes)] {
      const int client = ::accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      char request[4096];
      (void)::recv(client, request, sizeof request, 0);
      if (!bytes.empty()) (void)::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      ::close(client);
    });
  }
  ~RawServer() {
    // Wakes the accept of a test that never connected.
    ::shutdown(listener_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
    ::close(listener_);
  }
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  std::string address() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
};

TEST(HttpSession, NoConnectionOrNoHttpReplyIsNotReached) {
  RawServer silent("");
  RawServer garbage("garbage\r\n\r\n;ANNA,900");
  RawServer cut("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n;ANNA,900");
  const std::string urls[] = {
      LoopbackHttpServer::closedAddress() + "/scores",
      "file:///etc/passwd",
      silent.address() + "/scores",
      garbage.address() + "/scores",
      cut.address() + "/scores",
  };
  for (const std::string& url : urls) {
    auto session = openHttpSession("Zebrolite-test", kGenerous);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->get(url, 4096).kind, Kind::NotReached) << url;
  }
}

}  // namespace
}  // namespace platform
