#include "tests/support/loopback_http_server.hpp"

#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

namespace testing_support {

struct LoopbackHttpServer::State {
  httplib::Server server;
  std::thread thread;
  int port = -1;
  Handler handler;
  mutable std::mutex mutex;
  std::condition_variable wake;
  bool stopping = false;
  std::vector<Request> requests;
};

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : state_(std::make_unique<State>()) {
  State& state = *state_;
  state.handler = std::move(handler);
  const auto answer = [&state](const httplib::Request& request, httplib::Response& response) {
    Request seen{request.target,  request.path, request.get_header_value("User-Agent"), request.remote_port,
                 request.method, request.body, request.get_header_value("Content-Type")};
    {
      std::lock_guard<std::mutex> lock(state.mutex);
      state.requests.push_back(seen);
    }
    const Reply reply = state.handler(seen);
    if (reply.delayMs > 0) {
      std::unique_lock<std::mutex> lock(state.mutex);
      state.wake.wait_for(lock, std::chrono::milliseconds(reply.delayMs), [&state] { return state.stopping; });
    }
    response.status = reply.status;
    if (!reply.location.empty()) response.set_header("Location", reply.location);
    response.set_content(reply.body, "text/plain");
  };
  state.server.Get(".*", answer);
  state.server.Post(".*", answer);
  // The library's default closes a connection after five requests, and leaves Nagle's
  // algorithm on, which holds every reply of a kept connection for a delayed ACK (40 ms).
  state.server.set_keep_alive_max_count(100000);
  state.server.set_tcp_nodelay(true);
  state.port = state.server.bind_to_any_port("127.0.0.1");
  // The socket already listens: requests made before the loop starts wait in its queue.
  state.thread = std::thread([&state] { state.server.listen_after_bind(); });
  // A stop before the loop runs would be lost, and the loop would then wait in accept for
  // ever: a server nobody calls is stopped as soon as it is made.
  while (!state.server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackHttpServer::~LoopbackHttpServer() {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stopping = true;
  }
  state_->wake.notify_all();
  state_->server.stop();
  if (state_->thread.joinable()) state_->thread.join();
}

std::string LoopbackHttpServer::address() const { return "http://127.0.0.1:" + std::to_string(state_->port); }

std::vector<LoopbackHttpServer::Request> LoopbackHttpServer::requests() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->requests;
}

std::size_t LoopbackHttpServer::connections() const {
  std::set<int> ports;
  for (const Request& request : requests()) ports.insert(request.clientPort);
  return ports.size();
}

std::string LoopbackHttpServer::closedAddress() {
  // A port the system just handed out and took back: nothing listens on it.
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  int port = 9;  // discard: closed on any test machine, should the probe fail
  if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  if (fd >= 0) ::close(fd);
  return "http://127.0.0.1:" + std::to_string(port);
}

}  // namespace testing_support
