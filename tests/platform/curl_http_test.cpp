#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/http.hpp"

namespace platform {
namespace {

// A small server on the loopback interface, on a port of the system's choosing.
class LoopbackServer : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Get("/scores", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("1\tAnna\t1200\n2\tBert\t900\n", "text/plain");
    });
    server_.Get("/big", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(std::string(100000, 'x'), "text/plain");
    });
    server_.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
      response.status = 404;
      response.set_content("not here", "text/plain");
    });
    server_.Get("/broken", [](const httplib::Request&, httplib::Response& response) {
      response.status = 500;
      response.set_content("oops", "text/plain");
    });
    server_.Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
      // Holds the reply until the test has given up on it (or a generous limit passes).
      std::unique_lock lock(mutex_);
      released_.wait_for(lock, std::chrono::seconds(10), [this] { return release_; });
      response.set_content("late", "text/plain");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    // The socket listens from the bind on: requests queue until the thread accepts them.
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }

  void TearDown() override {
    {
      std::lock_guard lock(mutex_);
      release_ = true;
    }
    released_.notify_all();
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }

  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex mutex_;
  std::condition_variable released_;
  bool release_ = false;
};

TEST_F(LoopbackServer, ReturnsTheBody) {
  auto session = openHttpSession("Zebrolite-test");
  ASSERT_TRUE(session);
  EXPECT_EQ(session->get(url("/scores"), 4096), std::optional<std::string>("1\tAnna\t1200\n2\tBert\t900\n"));
  // The session is reused for a second request.
  EXPECT_EQ(session->get(url("/scores"), 4096)->size(), 23u);
}

TEST_F(LoopbackServer, CutsTheBodyAtTheLimit) {
  auto session = openHttpSession("Zebrolite-test");
  ASSERT_TRUE(session);
  const auto body = session->get(url("/big"), 5000);
  ASSERT_TRUE(body);
  EXPECT_EQ(body->size(), 5000u);
  EXPECT_EQ(session->get(url("/big"), 100000)->size(), 100000u);
  EXPECT_EQ(session->get(url("/scores"), 0), std::optional<std::string>(""));
}

TEST_F(LoopbackServer, AnErrorStatusIsAFailure) {
  auto session = openHttpSession("Zebrolite-test");
  ASSERT_TRUE(session);
  EXPECT_EQ(session->get(url("/missing"), 4096), std::nullopt);
  EXPECT_EQ(session->get(url("/broken"), 4096), std::nullopt);
  EXPECT_EQ(session->get(url("/broken"), 2), std::nullopt);  // even when the body is cut
}

TEST_F(LoopbackServer, AServerSlowerThanTheTimeOutIsAFailure) {
  auto session = openHttpSession("Zebrolite-test", HttpTimeouts{1000, 300});
  ASSERT_TRUE(session);
  EXPECT_EQ(session->get(url("/slow"), 4096), std::nullopt);
}

// A port that was free a moment ago: nothing listens there.
int closedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    return 0;
  }
  ::close(fd);
  return ntohs(address.sin_port);
}

TEST(HttpSession, ARefusedConnectionIsAFailure) {
  const int port = closedPort();
  ASSERT_GT(port, 0);
  auto session = openHttpSession("Zebrolite-test");
  ASSERT_TRUE(session);
  EXPECT_EQ(session->get("http://127.0.0.1:" + std::to_string(port) + "/scores", 4096), std::nullopt);
}

TEST(HttpSession, OnlyHttpIsSpoken) {
  auto session = openHttpSession("Zebrolite-test");
  ASSERT_TRUE(session);
  EXPECT_EQ(session->get("file:///etc/passwd", 4096), std::nullopt);
}

}  // namespace
}  // namespace platform
