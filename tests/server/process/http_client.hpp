// A small blocking HTTP/1.1 client over a loopback socket for the process tests, able to send
// requests exactly as written (broken ones too) and to read several replies off one
// connection.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace server_test {

struct HttpResponse {
  int status = 0;  // 0: no reply (connection refused, closed or timed out)
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
};

// GET target on 127.0.0.1:port, one connection, "Connection: close".
HttpResponse httpGet(std::uint16_t port, const std::string& target, const std::string& extraHeaders = "");

// POST of `body` (a replay by default) to target, one connection, "Connection: close".
HttpResponse httpPost(std::uint16_t port, const std::string& target, const std::string& body,
                      const std::string& contentType = "application/x-zebrolite-replay");

// Sends the bytes as they are and reads replies until the server closes the connection
// (or 10 s pass); the replies in order.
std::vector<HttpResponse> httpExchange(std::uint16_t port, const std::string& bytes);

}  // namespace server_test
