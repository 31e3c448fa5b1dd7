#include "server/daemon/http_server.hpp"

#include <boost/asio/strand.hpp>
#include <vector>

#include "server/daemon/http_connection.hpp"

namespace server {
namespace asio = boost::asio;

HttpServer::HttpServer(asio::io_context& io, ScoreService& service, Metrics& metrics, AccessLog& log, HttpLimits limits)
    : io_(io), service_(service), metrics_(metrics), log_(log), limits_(limits), acceptor_(asio::make_strand(io)), retry_(acceptor_.get_executor()) {}

HttpServer::~HttpServer() = default;

bool HttpServer::listen(const std::string& address, std::uint16_t port, std::string& error) {
  boost::system::error_code failure;
  const asio::ip::address ip = asio::ip::make_address(address, failure);
  if (failure) {
    error = "not an IP address: '" + address + "'";
    return false;
  }
  const asio::ip::tcp::endpoint endpoint(ip, port);
  acceptor_.open(endpoint.protocol(), failure);
  if (!failure) acceptor_.set_option(asio::socket_base::reuse_address(true), failure);
  if (!failure) acceptor_.bind(endpoint, failure);
  if (!failure) acceptor_.listen(asio::socket_base::max_listen_connections, failure);
  if (failure) {
    error = "cannot listen on " + address + " port " + std::to_string(port) + ": " + failure.message();
    return false;
  }
  return true;
}

std::uint16_t HttpServer::port() const {
  boost::system::error_code ignored;
  return acceptor_.local_endpoint(ignored).port();
}

void HttpServer::start() { accept(); }

void HttpServer::accept() {
  acceptor_.async_accept(asio::make_strand(io_), [this](boost::system::error_code error, asio::ip::tcp::socket socket) {
    if (stopping_ || error == asio::error::operation_aborted) return;
    if (error) {
      // Such as too many open files: try again shortly rather than spin.
      retry_.expires_after(std::chrono::milliseconds(50));
      retry_.async_wait([this](boost::system::error_code) { accept(); });
      return;
    }
    {
      if (open_.load() >= limits_.maxConnections) {
        metrics_.connectionRefused();
        boost::system::error_code ignored;
        socket.close(ignored);
      } else {
        auto connection = std::make_shared<HttpConnection>(std::move(socket), *this);
        ++open_;
        {
          std::lock_guard lock(connectionsMutex_);
          connections_.emplace(connection.get(), connection);
        }
        connection->start();
      }
    }
    accept();
  });
}

void HttpServer::forget(HttpConnection* connection) {
  {
    std::lock_guard lock(connectionsMutex_);
    connections_.erase(connection);
  }
  --open_;
  idleCheck();
}

void HttpServer::idleCheck() {
  if (!stopping_ || open_.load() != 0 || idleReported_.exchange(true)) return;
  if (idle_) idle_();
}

void HttpServer::shutdown() {
  stopping_ = true;
  asio::post(acceptor_.get_executor(), [this] {
    boost::system::error_code ignored;
    acceptor_.close(ignored);
  });
  // Stopped outside the lock: the last reference to a connection may go with this list, and
  // its destructor takes the lock.
  std::vector<std::shared_ptr<HttpConnection>> open;
  {
    std::lock_guard lock(connectionsMutex_);
    for (auto& [raw, weak] : connections_) {
      if (std::shared_ptr<HttpConnection> connection = weak.lock()) open.push_back(std::move(connection));
    }
  }
  for (const std::shared_ptr<HttpConnection>& connection : open) connection->stop();
  idleCheck();
}

}  // namespace server
