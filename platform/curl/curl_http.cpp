// HTTP GET over libcurl, with the time-outs the handheld's internet functions lacked.
//
// libcurl is loaded when the first session opens, not with the program: with the TLS,
// Kerberos, LDAP and SSH libraries it brings it costs some 5 MB of memory, and most games
// never exchange scores.
#include <curl/curl.h>
#include <dlfcn.h>

#include "platform/http.hpp"

namespace platform {
namespace {

// The libcurl functions the sessions use, from the library loaded at run time.
struct CurlLibrary {
  decltype(&curl_global_init) globalInit = nullptr;
  decltype(&curl_easy_init) easyInit = nullptr;
  decltype(&curl_easy_cleanup) easyCleanup = nullptr;
  decltype(&curl_easy_reset) easyReset = nullptr;
  decltype(&curl_easy_setopt) easySetopt = nullptr;
  decltype(&curl_easy_perform) easyPerform = nullptr;
  decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
};

template <typename Function>
bool find(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

// Null when no libcurl can be loaded or initialised. Loaded once and kept for the life of the
// process: libcurl cannot be unloaded safely.
const CurlLibrary* curlLibrary() {
  static const CurlLibrary* loaded = []() -> const CurlLibrary* {
    void* library = nullptr;
    for (const char* name : {"libcurl.so.4", "libcurl-gnutls.so.4"}) {
      library = dlopen(name, RTLD_NOW | RTLD_LOCAL);
      if (library != nullptr) break;
    }
    if (library == nullptr) return nullptr;
    static CurlLibrary curl;
    const bool complete =
        find(library, "curl_global_init", curl.globalInit) && find(library, "curl_easy_init", curl.easyInit) &&
        find(library, "curl_easy_cleanup", curl.easyCleanup) && find(library, "curl_easy_reset", curl.easyReset) &&
        find(library, "curl_easy_setopt", curl.easySetopt) && find(library, "curl_easy_perform", curl.easyPerform) &&
        find(library, "curl_easy_getinfo", curl.easyGetinfo);
    if (!complete || curl.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
    return &curl;
  }();
  return loaded;
}

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
  CurlSession(const CurlLibrary& curl, CURL* handle, std::string agent, const HttpTimeouts& timeouts)
      : curl_(curl), handle_(handle), agent_(std::move(agent)), timeouts_(timeouts) {}
  ~CurlSession() override { curl_.easyCleanup(handle_); }

  std::optional<std::string> get(const std::string& url, std::size_t maxBytes) override {
    Sink sink;
    sink.limit = maxBytes;
    curl_.easyReset(handle_);
    curl_.easySetopt(handle_, CURLOPT_URL, url.c_str());
    curl_.easySetopt(handle_, CURLOPT_USERAGENT, agent_.c_str());
    curl_.easySetopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_.easySetopt(handle_, CURLOPT_CONNECTTIMEOUT_MS, timeouts_.connectMs);
    curl_.easySetopt(handle_, CURLOPT_TIMEOUT_MS, timeouts_.totalMs);
    curl_.easySetopt(handle_, CURLOPT_PROXY, "");
    curl_.easySetopt(handle_, CURLOPT_NOPROXY, "*");
    curl_.easySetopt(handle_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_.easySetopt(handle_, CURLOPT_WRITEFUNCTION, collect);
    curl_.easySetopt(handle_, CURLOPT_WRITEDATA, &sink);
    const CURLcode code = curl_.easyPerform(handle_);
    const bool cutShort = code == CURLE_WRITE_ERROR && sink.body.size() == maxBytes;
    if (code != CURLE_OK && !cutShort) return std::nullopt;
    long status = 0;
    curl_.easyGetinfo(handle_, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 400) return std::nullopt;
    return std::move(sink.body);
  }

 private:
  const CurlLibrary& curl_;
  CURL* handle_;
  std::string agent_;
  HttpTimeouts timeouts_;
};

}  // namespace

std::unique_ptr<HttpSession> openHttpSession(std::string_view agent) { return openHttpSession(agent, HttpTimeouts{}); }

std::unique_ptr<HttpSession> openHttpSession(std::string_view agent, const HttpTimeouts& timeouts) {
  const CurlLibrary* curl = curlLibrary();
  if (curl == nullptr) return nullptr;
  CURL* handle = curl->easyInit();
  if (handle == nullptr) return nullptr;
  return std::make_unique<CurlSession>(*curl, handle, std::string(agent), timeouts);
}

}  // namespace platform
