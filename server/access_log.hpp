// One line per request on standard error (or another descriptor):
//   2024-03-01T12:00:00Z 127.0.0.1 "GET /api/v1/scores?board=day" 200 812 0.143ms
// Lines are gathered in a buffer and written when it fills or when flush() is called (the
// server does so a few times a second and at exit), so a busy server does not pay a write
// per request. Bytes of the target that are not printable ASCII are written as \xNN.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "server/utc_time.hpp"

namespace server {

class AccessLog {
 public:
  AccessLog(int fd, Clock clock);
  ~AccessLog();
  AccessLog(const AccessLog&) = delete;
  AccessLog& operator=(const AccessLog&) = delete;

  void record(std::string_view peer, std::string_view method, std::string_view target, int status,
              std::size_t bodyBytes, std::int64_t latencyUs);
  // A free-form line, such as the start and the end of the server.
  void note(std::string_view line);
  void flush();

  // Longer targets are cut in the log.
  static constexpr std::size_t kMaxLoggedTarget = 512;

 private:
  void flushLocked();

  int fd_;
  Clock clock_;
  std::mutex mutex_;
  std::string buffer_;
};

}  // namespace server
