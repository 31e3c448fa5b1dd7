// One client connection: reads requests one after the other (keep-alive, pipelined ones in
// turn), answers each through the ScoreService, and closes on a time-out, an error, a
// request that breaks a limit, or the server's shutdown. Only a replay's POST carries a body:
// the header is read first, and the body is read only for that path, with a Content-Length
// of at most replay::kMaxFileBytes.
#pragma once

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/span_body.hpp>
#include <boost/beast/http/string_body.hpp>
#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "server/score_service.hpp"

namespace server {

class HttpServer;

class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
 public:
  HttpConnection(boost::asio::ip::tcp::socket socket, HttpServer& server);
  ~HttpConnection();

  void start();
  // From any thread: close when idle, or after the reply being prepared.
  void stop();

 private:
  void read();
  void onHeader(boost::beast::error_code error);
  void readBody();
  void onBody(boost::beast::error_code error);
  // Closes on the errors of a connection that ended; otherwise refuses the request.
  void onReadError(boost::beast::error_code error);
  void dispatch();
  void refuse(int status, std::string reason);
  void answer(HttpReply reply);
  void onWritten(boost::beast::error_code error, bool keepAlive);
  void close();

  HttpServer& server_;
  boost::beast::tcp_stream stream_;
  boost::beast::flat_buffer buffer_;
  std::optional<boost::beast::http::request_parser<boost::beast::http::empty_body>> parser_;
  // The header's parser, once its body is to be read.
  std::optional<boost::beast::http::request_parser<boost::beast::http::string_body>> bodyParser_;
  boost::beast::http::request<boost::beast::http::empty_body> request_;
  std::shared_ptr<const std::string> requestBody_;
  boost::beast::http::response<boost::beast::http::empty_body> continue_;
  boost::beast::http::response<boost::beast::http::span_body<const char>> response_;
  std::shared_ptr<const std::string> body_;  // what response_ points into, until it is sent
  std::string peer_;
  std::chrono::steady_clock::time_point received_;
  Route route_ = Route::Other;
  std::size_t requests_ = 0;
  bool busy_ = false;  // between a complete request and its reply being sent
  bool stopping_ = false;
  bool refused_ = false;
  bool draining_ = false;
  std::array<char, 4096> drain_;
};

}  // namespace server
