// HTTP GET over libcurl, with the time-outs the handheld's internet functions lacked.
#include <curl/curl.h>

#include <mutex>

#include "platform/http.hpp"

namespace platform {
namespace {

struct Sink {
  std::string body;
  std::size_t limit = 0;
};

std::size_t collect(char* data, std::size_t size, std::size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const std::size_t bytes = size * count;
  const std::size_t room = sink->limit - sink->body.size();
  sink->body.append(data, bytes < room ? bytes : room);
  // Returning less than `bytes` ends the transfer once the limit is reached.
  return bytes < room ? bytes : room;
}

class CurlSession : public HttpSession {
 public:
  CurlSession(CURL* handle, std::string agent, const HttpTimeouts& timeouts)
      : handle_(handle), agent_(std::move(agent)), timeouts_(timeouts) {}
  ~CurlSession() override { curl_easy_cleanup(handle_); }

  std::optional<std::string> get(const std::string& url, std::size_t maxBytes) override {
    Sink sink;
    sink.limit = maxBytes;
    curl_easy_reset(handle_);
    curl_easy_setopt(handle_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle_, CURLOPT_USERAGENT, agent_.c_str());
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts_.connectMs));
    curl_easy_setopt(handle_, CURLOPT_TIMEOUT_MS, static_cast<long>(timeouts_.totalMs));
    curl_easy_setopt(handle_, CURLOPT_PROXY, "");
    curl_easy_setopt(handle_, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, &sink);
    const CURLcode code = curl_easy_perform(handle_);
    const bool cutShort = code == CURLE_WRITE_ERROR && sink.body.size() == maxBytes;
    if (code != CURLE_OK && !cutShort) return std::nullopt;
    long status = 0;
    curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 400) return std::nullopt;
    return std::move(sink.body);
  }

 private:
  CURL* handle_;
  std::string agent_;
  HttpTimeouts timeouts_;
};

}  // namespace

std::unique_ptr<HttpSession> openHttpSession(std::string_view agent) { return openHttpSession(agent, HttpTimeouts{}); }

std::unique_ptr<HttpSession> openHttpSession(std::string_view agent, const HttpTimeouts& timeouts) {
  static std::once_flag once;
  static bool initialised = false;
  std::call_once(once, [] { initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  if (!initialised) return nullptr;
  CURL* handle = curl_easy_init();
  if (handle == nullptr) return nullptr;
  return std::make_unique<CurlSession>(handle, std::string(agent), timeouts);
}

}  // namespace platform
