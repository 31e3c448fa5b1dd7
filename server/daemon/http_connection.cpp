#include "server/daemon/http_connection.hpp"

#include <boost/asio/dispatch.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <ctime>
#include <limits>

#include "replay/replay_file.hpp"
#include "server/daemon/http_server.hpp"
#include "server/game_id.hpp"

namespace server {
namespace beast = boost::beast;
namespace http = beast::http;
namespace asio = boost::asio;

namespace {

constexpr std::string_view kServerName = "zebrolite-scored/" ZEBROLITE_VERSION;

// The Date header, rendered once a second per thread.
std::string_view httpDate() {
  thread_local std::time_t renderedFor = 0;
  thread_local char text[40] = {};
  const std::time_t now = std::time(nullptr);
  if (now != renderedFor) {
    renderedFor = now;
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &utc);
  }
  return text;
}

}  // namespace

HttpConnection::HttpConnection(asio::ip::tcp::socket socket, HttpServer& server)
    : server_(server), stream_(std::move(socket)) {
  beast::error_code error;
  const asio::ip::tcp::endpoint remote = stream_.socket().remote_endpoint(error);
  if (!error) {
    const asio::ip::address address = remote.address();
    peer_ = address.is_v6() && address.to_v6().is_v4_mapped()
                ? asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).to_string()
                : address.to_string();
  }
  // Replies are small and written whole: waiting for the peer's ACK (Nagle) would add a
  // delayed-ACK pause to every one.
  stream_.socket().set_option(asio::ip::tcp::no_delay(true), error);
  server_.metrics_.connectionOpened();
}

HttpConnection::~HttpConnection() {
  server_.metrics_.connectionClosed();
  server_.forget(this);
}

void HttpConnection::start() {
  asio::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->read(); });
}

void HttpConnection::stop() {
  asio::post(stream_.get_executor(), [self = shared_from_this()] {
    self->stopping_ = true;
    if (!self->busy_) self->close();
  });
}

void HttpConnection::read() {
  if (stopping_) {
    close();
    return;
  }
  parser_.emplace();
  bodyParser_.reset();
  requestBody_.reset();
  parser_->header_limit(static_cast<std::uint32_t>(server_.limits_.headerBytes));
  // The header alone says whether a body may come; onHeader decides by its path.
  parser_->body_limit(std::numeric_limits<std::uint64_t>::max());
  // The first request may take the whole request time-out; later ones wait at most the
  // keep-alive time for their first byte and all, their body included.
  stream_.expires_after(requests_ == 0 ? server_.limits_.requestTimeout : server_.limits_.keepAliveTimeout);
  http::async_read_header(stream_, buffer_, *parser_,
                          [self = shared_from_this()](beast::error_code error, std::size_t) { self->onHeader(error); });
}

void HttpConnection::onReadError(beast::error_code error) {
  stream_.expires_never();
  if (error == http::error::end_of_stream || error == beast::error::timeout || error == asio::error::operation_aborted ||
      error == asio::error::connection_reset || error == asio::error::eof) {
    close();
    return;
  }
  received_ = std::chrono::steady_clock::now();
  busy_ = true;
  if (error == http::error::header_limit) {
    refuse(431, "request line and headers exceed " + std::to_string(server_.limits_.headerBytes) + " bytes");
    return;
  }
  if (error == http::error::body_limit) {
    refuse(413, "refused: the replay is larger than " + std::to_string(replay::kMaxFileBytes) + " bytes");
    return;
  }
  refuse(400, "malformed HTTP request: " + error.message());
}

void HttpConnection::onHeader(beast::error_code error) {
  if (error) {
    onReadError(error);
    return;
  }
  if (parser_->is_done()) {
    request_ = parser_->release();
    dispatch();
    return;
  }
  const auto& header = parser_->get();
  const std::string_view target(header.target().data(), header.target().size());
  if (!isReplayPost(std::string_view(header.method_string().data(), header.method_string().size()), target)) {
    received_ = std::chrono::steady_clock::now();
    busy_ = true;
    refuse(413, "requests to this server carry no body");
    return;
  }
  const boost::optional<std::uint64_t> length = parser_->content_length();
  if (!length || *length > replay::kMaxFileBytes) {
    received_ = std::chrono::steady_clock::now();
    busy_ = true;
    if (length) {
      refuse(413, "refused: the replay is larger than " + std::to_string(replay::kMaxFileBytes) + " bytes");
    } else {
      refuse(411, "refused: a replay is sent with a Content-Length");
    }
    return;
  }
  bodyParser_.emplace(std::move(*parser_));
  bodyParser_->body_limit(replay::kMaxFileBytes);
  if (!beast::iequals(bodyParser_->get()[http::field::expect], "100-continue")) {
    readBody();
    return;
  }
  // A client that waits for leave to send its body is given it.
  continue_ = {http::status::continue_, bodyParser_->get().version()};
  http::async_write(stream_, continue_, [self = shared_from_this()](beast::error_code failure, std::size_t) {
    if (failure) {
      self->onReadError(failure);
      return;
    }
    self->readBody();
  });
}

void HttpConnection::readBody() {
  http::async_read(stream_, buffer_, *bodyParser_,
                   [self = shared_from_this()](beast::error_code error, std::size_t) { self->onBody(error); });
}

void HttpConnection::onBody(beast::error_code error) {
  if (error) {
    onReadError(error);
    return;
  }
  http::request<http::string_body> message = bodyParser_->release();
  requestBody_ = std::make_shared<const std::string>(std::move(message.body()));
  request_ = http::request<http::empty_body>(std::move(message.base()));
  dispatch();
}

void HttpConnection::dispatch() {
  stream_.expires_never();
  received_ = std::chrono::steady_clock::now();
  busy_ = true;
  ++requests_;
  const auto header = [this](std::string_view field) {
    const auto found = request_.find(field);
    return found == request_.end() ? std::string_view() : std::string_view(found->value().data(), found->value().size());
  };
  HttpRequest request;
  request.method = std::string_view(request_.method_string().data(), request_.method_string().size());
  request.target = std::string_view(request_.target().data(), request_.target().size());
  request.peer = peer_;
  request.ifNoneMatch = header("If-None-Match");
  request.forwardedFor = header("X-Forwarded-For");
  request.realIp = header("X-Real-IP");
  request.body = std::move(requestBody_);
  // The reply may come from a store thread: it is carried back to this connection's strand,
  // and the I/O threads are kept running until it has been.
  auto work = asio::make_work_guard(stream_.get_executor());
  server_.service_.handle(request, [self = shared_from_this(), work](HttpReply reply) {
    asio::post(self->stream_.get_executor(), [self, reply = std::move(reply)]() mutable { self->answer(std::move(reply)); });
  });
}

void HttpConnection::refuse(int status, std::string reason) {
  // The log names what could be read of the request.
  request_ = {};
  const auto nameFrom = [this](const auto& parser) {
    if (!parser.is_header_done()) return;
    request_.method_string(parser.get().method_string());
    request_.target(parser.get().target());
  };
  if (bodyParser_) {
    nameFrom(*bodyParser_);
  } else {
    nameFrom(*parser_);
  }
  request_.keep_alive(false);
  stopping_ = true;  // what follows a broken request cannot be trusted to be a request
  refused_ = true;
  HttpReply reply;
  reply.status = status;
  reply.body = std::make_shared<const std::string>(std::move(reason) + "\n");
  answer(std::move(reply));
}

void HttpConnection::answer(HttpReply reply) {
  route_ = reply.route;
  body_ = std::move(reply.body);
  const bool head = request_.method() == http::verb::head;
  const bool keepAlive = request_.keep_alive() && !stopping_ && requests_ < server_.limits_.maxRequestsPerConnection;
  response_ = {};
  response_.version(request_.version() == 10 ? 10 : 11);
  response_.result(static_cast<unsigned>(reply.status));
  response_.set(http::field::server, kServerName);
  response_.set(http::field::date, httpDate());
  if (reply.status != 304) response_.set(http::field::content_type, reply.contentType);
  if (!reply.etag.empty()) response_.set(http::field::etag, reply.etag);
  if (!reply.cacheControl.empty()) response_.set(http::field::cache_control, reply.cacheControl);
  if (!reply.allow.empty()) response_.set(http::field::allow, reply.allow);
  if (!reply.retryAfter.empty()) response_.set(http::field::retry_after, reply.retryAfter);
  if (!reply.contentDisposition.empty()) response_.set(http::field::content_disposition, reply.contentDisposition);
  if (!reply.contentSecurityPolicy.empty()) {
    response_.set("Content-Security-Policy", reply.contentSecurityPolicy);
    response_.set("X-Content-Type-Options", "nosniff");
  }
  response_.keep_alive(keepAlive);
  if (reply.status == 304) {
    response_.body() = {};
  } else {
    response_.content_length(body_->size());
    response_.body() = head ? http::span_body<const char>::value_type() : http::span_body<const char>::value_type(body_->data(), body_->size());
  }
  stream_.expires_after(server_.limits_.writeTimeout);
  http::async_write(stream_, response_, [self = shared_from_this(), keepAlive](beast::error_code error, std::size_t) {
    self->onWritten(error, keepAlive);
  });
}

void HttpConnection::onWritten(beast::error_code error, bool keepAlive) {
  stream_.expires_never();
  const auto latency =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - received_).count();
  const int status = static_cast<int>(response_.result_int());
  server_.metrics_.countRequest(route_, status, latency);
  server_.log_.record(peer_, request_.method_string(), request_.target(), status, response_.body().size(), latency);
  busy_ = false;
  body_.reset();
  if (error || !keepAlive) {
    close();
    return;
  }
  read();
}

void HttpConnection::close() {
  beast::error_code ignored;
  stream_.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
  if (!refused_) {
    stream_.socket().close(ignored);
    return;
  }
  // After a refusal the client may still be sending what we did not read: closing now would
  // answer it with a reset, which can destroy our reply before the client reads it. Read and
  // drop for a moment first.
  if (!draining_) stream_.expires_after(std::chrono::seconds(1));
  draining_ = true;
  stream_.async_read_some(asio::buffer(drain_), [self = shared_from_this()](beast::error_code error, std::size_t) {
    if (!error) {
      self->close();
      return;
    }
    beast::error_code ignoredToo;
    self->stream_.socket().close(ignoredToo);
  });
}

}  // namespace server
