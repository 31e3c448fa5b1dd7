// The HTTP side of zebrolite-scored over Boost.Beast: a few I/O threads run every connection
// (event-driven, each connection on a strand of its own), hand each parsed request to the
// ScoreService and write its reply back when it comes. Every limit is set here on purpose.
#pragma once

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "server/access_log.hpp"
#include "server/metrics.hpp"
#include "server/score_service.hpp"

namespace server {

class HttpConnection;

struct HttpLimits {
  std::size_t headerBytes = 8192;  // request line and headers together; more is 431
  std::chrono::milliseconds requestTimeout{10000};  // to receive a whole request once it has begun
  std::chrono::milliseconds keepAliveTimeout{5000};  // an idle connection between requests
  std::chrono::milliseconds writeTimeout{10000};     // to send a reply
  std::size_t maxConnections = 1024;  // more are closed at once
  std::size_t maxRequestsPerConnection = 10000;
};

class HttpServer {
 public:
  HttpServer(boost::asio::io_context& io, ScoreService& service, Metrics& metrics, AccessLog& log, HttpLimits limits);
  ~HttpServer();

  // Binds and listens; false with a message when the address cannot be used.
  bool listen(const std::string& address, std::uint16_t port, std::string& error);
  std::uint16_t port() const;
  void start();
  // Stops accepting, closes idle connections and lets the others finish the request they
  // are answering. The I/O threads' run() returns when the last connection has closed.
  void shutdown();
  // Called once, from any thread, when shutdown() has been asked for and no connection is
  // left open.
  void onIdleAfterShutdown(std::function<void()> idle) { idle_ = std::move(idle); }

 private:
  friend class HttpConnection;
  void accept();
  void forget(HttpConnection* connection);
  void idleCheck();

  boost::asio::io_context& io_;
  ScoreService& service_;
  Metrics& metrics_;
  AccessLog& log_;
  HttpLimits limits_;
  boost::asio::ip::tcp::acceptor acceptor_;
  boost::asio::steady_timer retry_;
  std::atomic<std::size_t> open_{0};
  std::atomic<bool> stopping_{false};
  std::atomic<bool> idleReported_{false};
  std::function<void()> idle_;
  std::mutex connectionsMutex_;
  std::unordered_map<HttpConnection*, std::weak_ptr<HttpConnection>> connections_;
};

}  // namespace server
