#include "server/access_log.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace server {
namespace {

constexpr std::size_t kFlushAt = 32 * 1024;

void appendPrintable(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
}

}  // namespace

AccessLog::AccessLog(int fd, Clock clock) : fd_(fd), clock_(std::move(clock)) { buffer_.reserve(kFlushAt * 2); }

AccessLog::~AccessLog() { flush(); }

void AccessLog::record(std::string_view peer, std::string_view method, std::string_view target, int status,
                       std::size_t bodyBytes, std::int64_t latencyUs) {
  char figures[96];
  std::snprintf(figures, sizeof figures, "\" %d %zu %lld.%03lldms\n", status, bodyBytes,
                static_cast<long long>(latencyUs / 1000), static_cast<long long>(latencyUs % 1000));
  const std::string time = formatRfc3339(clock_());
  std::lock_guard lock(mutex_);
  buffer_ += time;
  buffer_ += ' ';
  appendPrintable(buffer_, peer);
  buffer_ += " \"";
  appendPrintable(buffer_, method);
  buffer_ += ' ';
  appendPrintable(buffer_, target.substr(0, kMaxLoggedTarget));
  if (target.size() > kMaxLoggedTarget) buffer_ += "...";
  buffer_ += figures;
  if (buffer_.size() >= kFlushAt) flushLocked();
}

void AccessLog::note(std::string_view line) {
  std::lock_guard lock(mutex_);
  buffer_ += formatRfc3339(clock_());
  buffer_ += ' ';
  buffer_ += line;
  buffer_ += '\n';
  flushLocked();
}

void AccessLog::flush() {
  std::lock_guard lock(mutex_);
  flushLocked();
}

void AccessLog::flushLocked() {
  std::size_t written = 0;
  while (written < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + written, buffer_.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // a closed standard error loses the log, not the service
    written += static_cast<std::size_t>(n);
  }
  buffer_.clear();
}

}  // namespace server
