#include "tests/server/process/http_client.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace server_test {
namespace {

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// Parses replies from the start of `raw`, as many as are complete.
std::vector<HttpResponse> parseReplies(const std::string& raw) {
  std::vector<HttpResponse> replies;
  std::size_t at = 0;
  while (at < raw.size()) {
    const std::size_t headerEnd = raw.find("\r\n\r\n", at);
    if (headerEnd == std::string::npos) break;
    HttpResponse reply;
    const std::string head = raw.substr(at, headerEnd - at);
    const std::size_t firstSpace = head.find(' ');
    if (firstSpace == std::string::npos) break;
    reply.status = std::atoi(head.c_str() + firstSpace + 1);
    std::size_t line = head.find("\r\n");
    while (line != std::string::npos) {
      const std::size_t next = head.find("\r\n", line + 2);
      const std::string field = head.substr(line + 2, (next == std::string::npos ? head.size() : next) - line - 2);
      const std::size_t colon = field.find(':');
      if (colon != std::string::npos) {
        std::string value = field.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        reply.headers[lower(field.substr(0, colon))] = value;
      }
      line = next;
    }
    std::size_t length = 0;
    if (const auto found = reply.headers.find("content-length"); found != reply.headers.end()) {
      length = static_cast<std::size_t>(std::stoul(found->second));
    }
    if (reply.status == 304) length = 0;
    if (headerEnd + 4 + length > raw.size()) break;
    reply.body = raw.substr(headerEnd + 4, length);
    replies.push_back(std::move(reply));
    at = headerEnd + 4 + length;
  }
  return replies;
}

bool connectRetrying(int fd, const sockaddr_in& address) {
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
  if (errno != EINTR) return false;
  // The connection goes on being made: wait for its outcome.
  pollfd descriptor{fd, POLLOUT, 0};
  while (poll(&descriptor, 1, 10000) < 0 && errno == EINTR) {
  }
  int error = 0;
  socklen_t length = sizeof error;
  return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0 && (descriptor.revents & POLLOUT);
}

}  // namespace

std::vector<HttpResponse> httpExchange(std::uint16_t port, const std::string& bytes) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return {};
  timeval timeout{10, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string raw;
  // A signal to the test program (a child that ended) must not pass for a lost reply.
  if (connectRetrying(fd, address)) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      sent += static_cast<std::size_t>(n);
    }
    char buffer[16384];
    for (;;) {
      const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      raw.append(buffer, static_cast<std::size_t>(n));
    }
  }
  close(fd);
  return parseReplies(raw);
}

namespace {

HttpResponse firstReply(std::uint16_t port, const std::string& bytes) {
  const std::vector<HttpResponse> replies = httpExchange(port, bytes);
  return replies.empty() ? HttpResponse{} : replies.front();
}

}  // namespace

HttpResponse httpGet(std::uint16_t port, const std::string& target, const std::string& extraHeaders) {
  return firstReply(port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders + "Connection: close\r\n\r\n");
}

HttpResponse httpPost(std::uint16_t port, const std::string& target, const std::string& body,
                      const std::string& contentType) {
  return firstReply(port, "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: " + contentType +
                              "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
                              body);
}

}  // namespace server_test
