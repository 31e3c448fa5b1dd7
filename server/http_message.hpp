// A request as the HTTP layer hands it to the service and the reply the service hands back,
// with the few helpers every route uses to build one. No sockets: the daemon fills these in.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "server/metrics.hpp"

namespace server {

struct HttpRequest {
  std::string_view method;
  std::string_view target;  // path and query as sent
  std::string_view peer;    // the connection's remote address, without the port
  std::string_view ifNoneMatch;
  std::string_view forwardedFor;  // X-Forwarded-For
  std::string_view realIp;        // X-Real-IP
  // The body: only a POST of a replay has one (null otherwise). Shared, so that work which
  // outlives the reply (a verification answered "queued") keeps it without a copy.
  std::shared_ptr<const std::string> body;
};

struct HttpReply {
  int status = 200;
  Route route = Route::Other;
  std::string_view contentType = "text/plain; charset=utf-8";
  std::shared_ptr<const std::string> body;  // never null
  std::string etag;                         // with its quotes; empty: none
  std::string_view cacheControl;            // empty: none
  std::string_view allow;                   // for 405
  std::string_view retryAfter;              // seconds, for 503 when busy
  std::string_view contentSecurityPolicy;   // empty: none (with it, X-Content-Type-Options: nosniff)
  std::string contentDisposition;           // empty: none
};

using ReplyHandler = std::function<void(HttpReply)>;

std::shared_ptr<const std::string> sharedBytes(std::string text);

// The text without the spaces and tabs around it, as header values are compared.
std::string_view trimBlanks(std::string_view text);

// A reply of `status` with `text` as its plain-text body.
HttpReply textReply(Route route, int status, std::string text);

// Whether an If-None-Match header (a list of tags, or "*") matches `etag`; weak tags
// (W/"...") compare by their value.
bool etagMatches(std::string_view ifNoneMatch, std::string_view etag);

}  // namespace server
