#include "server/verification_pool.hpp"

#include <algorithm>
#include <atomic>

namespace server {

struct VerificationPool::Waiting {
  Job job;
  std::atomic<bool> finished{false};
};

JudgeFactory replayVerifierJudges() {
  return [] {
    auto verifier = std::make_shared<app::ReplayVerifier>();
    return Judge([verifier](std::span<const std::uint8_t> file) { return verifier->verify(file); });
  };
}

std::string verifierProblem() {
  const app::ReplayVerifier probe;
  return probe.ready() ? std::string() : probe.notReadyReason();
}

VerificationPool::VerificationPool(std::size_t workers, std::size_t capacity, std::chrono::milliseconds wait,
                                   JudgeFactory judges)
    : capacity_(std::max<std::size_t>(capacity, 1)), wait_(wait), judges_(std::move(judges)) {
  for (std::size_t i = 0; i < std::max<std::size_t>(workers, 1); ++i) workers_.emplace_back([this] { work(); });
  timer_ = std::thread([this] { watch(); });
}

VerificationPool::~VerificationPool() { stop(); }

bool VerificationPool::post(Job job) {
  auto waiting = std::make_shared<Waiting>();
  waiting->job = std::move(job);
  {
    std::lock_guard lock(mutex_);
    if (stopping_ || jobs_.size() >= capacity_) return false;
    jobs_.push_back(waiting);
    if (waiting->job.late) alarms_.push_back({std::chrono::steady_clock::now() + wait_, waiting});
  }
  ready_.notify_one();
  alarmReady_.notify_one();
  return true;
}

std::size_t VerificationPool::queued() const {
  std::lock_guard lock(mutex_);
  return jobs_.size();
}

std::size_t VerificationPool::stop() {
  {
    std::lock_guard lock(mutex_);
    if (!stopping_) drainUntil_ = std::chrono::steady_clock::now() + kDrainTime;
    stopping_ = true;
  }
  ready_.notify_all();
  for (std::thread& worker : workers_) {
    if (worker.joinable()) worker.join();
  }
  {
    std::lock_guard lock(mutex_);
    timerStopping_ = true;
  }
  alarmReady_.notify_all();
  if (timer_.joinable()) timer_.join();
  std::lock_guard lock(mutex_);
  return dropped_;
}

void VerificationPool::work() {
  const Judge judge = judges_();
  for (;;) {
    std::shared_ptr<Waiting> next;
    {
      std::unique_lock lock(mutex_);
      ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      if (stopping_ && std::chrono::steady_clock::now() >= drainUntil_) {
        dropped_ += jobs_.size();
        // Neither run nor late: nobody is told a dropped job is queued.
        for (const std::shared_ptr<Waiting>& job : jobs_) job->finished.store(true, std::memory_order_release);
        jobs_.clear();
        return;
      }
      next = std::move(jobs_.front());
      jobs_.pop_front();
    }
    next->job.run(judge);
    next->finished.store(true, std::memory_order_release);
  }
}

void VerificationPool::watch() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (timerStopping_) return;
    if (alarms_.empty()) {
      alarmReady_.wait(lock);
      continue;
    }
    const auto due = alarms_.front().due;
    if (std::chrono::steady_clock::now() < due) {
      alarmReady_.wait_until(lock, due);
      continue;
    }
    const std::shared_ptr<Waiting> job = std::move(alarms_.front().job);
    alarms_.pop_front();
    if (job->finished.load(std::memory_order_acquire)) continue;
    lock.unlock();
    job->job.late();
    lock.lock();
  }
}

}  // namespace server
