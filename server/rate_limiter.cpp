#include "server/rate_limiter.hpp"

#include <algorithm>

namespace server {

RateLimiter::RateLimiter(std::uint32_t perMinute, std::size_t maxBuckets)
    : perMinute_(perMinute), maxBuckets_(std::max<std::size_t>(maxBuckets, 1)) {}

bool RateLimiter::take(std::string_view address, std::int64_t nowMs) {
  if (perMinute_ == 0) return true;
  const double capacity = perMinute_;
  std::lock_guard lock(mutex_);
  auto found = buckets_.find(std::string(address));
  if (found == buckets_.end()) {
    if (buckets_.size() >= maxBuckets_) {
      buckets_.erase(byUse_.back());
      byUse_.pop_back();
    }
    byUse_.emplace_front(address);
    found = buckets_.emplace(byUse_.front(), Bucket{capacity, nowMs, byUse_.begin()}).first;
  } else {
    byUse_.splice(byUse_.begin(), byUse_, found->second.age);
  }
  Bucket& bucket = found->second;
  const std::int64_t elapsed = std::max<std::int64_t>(nowMs - bucket.updatedMs, 0);
  bucket.tokens = std::min(capacity, bucket.tokens + static_cast<double>(elapsed) * capacity / 60000.0);
  bucket.updatedMs = std::max(bucket.updatedMs, nowMs);
  if (bucket.tokens < 1.0) return false;
  bucket.tokens -= 1.0;
  return true;
}

std::size_t RateLimiter::buckets() const {
  std::lock_guard lock(mutex_);
  return buckets_.size();
}

}  // namespace server
