// A token bucket per client address for new submissions: `perMinute` tokens a minute, as
// many at most in a bucket (a full minute's worth may come at once). Addresses live in
// memory only, in at most `maxBuckets` buckets: the least recently used goes first, which
// costs an evicted address no more than a full bucket it would have had after a minute.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace server {

class RateLimiter {
 public:
  // perMinute 0: no limit.
  RateLimiter(std::uint32_t perMinute, std::size_t maxBuckets);

  // Takes a token from the address's bucket at `nowMs` (a steady clock, milliseconds);
  // false when the bucket is empty. Thread-safe.
  bool take(std::string_view address, std::int64_t nowMs);

  std::size_t buckets() const;

 private:
  struct Bucket {
    double tokens;
    std::int64_t updatedMs;
    std::list<std::string>::iterator age;  // its place in the order of use
  };

  std::uint32_t perMinute_;
  std::size_t maxBuckets_;
  mutable std::mutex mutex_;
  std::unordered_map<std::string, Bucket> buckets_;
  std::list<std::string> byUse_;  // most recently used first
};

}  // namespace server
