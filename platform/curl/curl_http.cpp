// HTTP GET and POST over libcurl, with the time bound the handheld's internet functions lacked.
//
// libcurl is loaded when the first session opens, not with the program: with the TLS,
// Kerberos, LDAP and SSH libraries it brings it costs some 5 MB of memory, and most games
// never exchange scores.
#include <curl/curl.h>
#include <dlfcn.h>

#include <chrono>

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
  decltype(&curl_slist_append) slistAppend = nullptr;
  decltype(&curl_slist_free_all) slistFreeAll = nullptr;
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
        find(library, "curl_easy_getinfo", curl.easyGetinfo) && find(library, "curl_slist_append", curl.slistAppend) &&
        find(library, "curl_slist_free_all", curl.slistFreeAll);
    if (!complete || curl.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
    return &curl;
  }();
  return loaded;
}

// A reply body past the caller's limit is read and dropped up to this much more, so that the
// connection is left clean for the next request; a longer one ends the transfer (and the
// connection) rather than spend the session's time on bytes nobody reads.
constexpr std::size_t kDrainLimit = 64 * 1024;

struct Sink {
  std::string body;
  std::size_t limit = 0;
  std::size_t dropped = 0;
};

std::size_t collect(char* data, std::size_t size, std::size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const std::size_t bytes = size * count;
  const std::size_t room = sink->limit - sink->body.size();
  const std::size_t kept = bytes < room ? bytes : room;
  sink->body.append(data, kept);
  sink->dropped += bytes - kept;
  // Returning less than `bytes` ends the transfer.
  return sink->dropped > kDrainLimit ? kept : bytes;
}

using Clock = std::chrono::steady_clock;

class CurlSession : public HttpSession {
 public:
  CurlSession(const CurlLibrary& curl, CURL* handle, std::string agent, const HttpTimeouts& timeouts)
      : curl_(curl),
        handle_(handle),
        agent_(std::move(agent)),
        connectMs_(timeouts.connectMs),
        deadline_(Clock::now() + std::chrono::milliseconds(timeouts.sessionMs)) {}
  ~CurlSession() override { curl_.easyCleanup(handle_); }

  HttpReply get(const std::string& url, std::size_t maxBytes) override { return perform(url, nullptr, {}, maxBytes); }

  HttpReply post(const std::string& url, std::span<const std::uint8_t> body, std::string_view contentType,
                 std::size_t maxBytes) override {
    const std::string type = "Content-Type: " + std::string(contentType);
    curl_slist* headers = curl_.slistAppend(nullptr, type.c_str());
    // Without this libcurl holds a body of more than a kilobyte back for a second, waiting
    // for the server's consent.
    if (headers != nullptr) headers = curl_.slistAppend(headers, "Expect:");
    if (headers == nullptr) return HttpReply{};
    const HttpReply reply = perform(url, headers, body, maxBytes);
    curl_.slistFreeAll(headers);
    return reply;
  }

 private:
  // A GET when `headers` is null, else a POST of `body` with them.
  HttpReply perform(const std::string& url, curl_slist* headers, std::span<const std::uint8_t> body, std::size_t maxBytes) {
    HttpReply reply;
    const long remainingMs = remainingTime();
    // libcurl reads a time-out of 0 as none at all.
    if (remainingMs <= 0) {
      reply.kind = HttpReply::Kind::TimedOut;
      return reply;
    }
    Sink sink;
    sink.limit = maxBytes;
    // A reset keeps the handle's open connections: the next request to the same server
    // goes over the same one.
    curl_.easyReset(handle_);
    curl_.easySetopt(handle_, CURLOPT_URL, url.c_str());
    curl_.easySetopt(handle_, CURLOPT_USERAGENT, agent_.c_str());
    curl_.easySetopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_.easySetopt(handle_, CURLOPT_CONNECTTIMEOUT_MS, connectMs_ < remainingMs ? connectMs_ : remainingMs);
    curl_.easySetopt(handle_, CURLOPT_TIMEOUT_MS, remainingMs);
    curl_.easySetopt(handle_, CURLOPT_PROXY, "");
    curl_.easySetopt(handle_, CURLOPT_NOPROXY, "*");
    curl_.easySetopt(handle_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_.easySetopt(handle_, CURLOPT_WRITEFUNCTION, collect);
    curl_.easySetopt(handle_, CURLOPT_WRITEDATA, &sink);
    if (headers != nullptr) {
      curl_.easySetopt(handle_, CURLOPT_POST, 1L);
      curl_.easySetopt(handle_, CURLOPT_HTTPHEADER, headers);
      curl_.easySetopt(handle_, CURLOPT_POSTFIELDS, body.data());
      curl_.easySetopt(handle_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    }
    const CURLcode code = curl_.easyPerform(handle_);
    const bool cutShort = code == CURLE_WRITE_ERROR && sink.dropped > kDrainLimit;
    if (code != CURLE_OK && !cutShort) {
      reply.kind = failureKind(code);
      return reply;
    }
    reply.kind = HttpReply::Kind::Answered;
    curl_.easyGetinfo(handle_, CURLINFO_RESPONSE_CODE, &reply.status);
    reply.body = std::move(sink.body);
    return reply;
  }

  long remainingTime() const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
    return static_cast<long>(left.count());
  }

  // A time-out after the request went out means the server was reached and was too slow.
  HttpReply::Kind failureKind(CURLcode code) const {
    if (code != CURLE_OPERATION_TIMEDOUT) return HttpReply::Kind::NotReached;
    long requestBytes = 0;
    curl_.easyGetinfo(handle_, CURLINFO_REQUEST_SIZE, &requestBytes);
    return requestBytes > 0 ? HttpReply::Kind::TimedOut : HttpReply::Kind::NotReached;
  }

  const CurlLibrary& curl_;
  CURL* handle_;
  std::string agent_;
  long connectMs_;
  Clock::time_point deadline_;
};

}  // namespace

std::unique_ptr<HttpSession> openHttpSession(std::string_view agent, const HttpTimeouts& timeouts) {
  const CurlLibrary* curl = curlLibrary();
  if (curl == nullptr) return nullptr;
  CURL* handle = curl->easyInit();
  if (handle == nullptr) return nullptr;
  return std::make_unique<CurlSession>(*curl, handle, std::string(agent), timeouts);
}

}  // namespace platform
