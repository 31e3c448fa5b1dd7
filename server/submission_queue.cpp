#include "server/submission_queue.hpp"

#include <algorithm>

namespace server {

void SubmissionQueue::start(StoreBatch store) {
  std::lock_guard lock(mutex_);
  store_ = std::move(store);
  started_ = true;
  writer_ = std::thread([this] { writerLoop(); });
}

void SubmissionQueue::submit(Submission submission, AdmitNew admit, SubmitDone done) {
  SubmitOutcome refusal = SubmitOutcome::Busy;
  {
    std::lock_guard lock(mutex_);
    if (closing_ || !started_) {
      refusal = SubmitOutcome::Unavailable;
    } else if (queue_.size() < maxQueued_) {
      queue_.push_back({std::move(submission), std::move(admit), std::move(done), std::chrono::steady_clock::now()});
      ready_.notify_one();
      return;
    }
  }
  done(refusal);
}

void SubmissionQueue::close() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  ready_.notify_all();
  if (writer_.joinable()) writer_.join();
}

void SubmissionQueue::writerLoop() {
  std::vector<PendingSubmission> batch;
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      ready_.wait(lock, [this] { return closing_ || !queue_.empty(); });
      if (queue_.empty()) return;  // closing, and everything queued is answered
      const std::size_t take = std::min(queue_.size(), std::max<std::size_t>(maxBatch_, 1));
      for (std::size_t i = 0; i < take; ++i) {
        batch.push_back(std::move(queue_.front()));
        queue_.pop_front();
      }
    }
    store_(batch);
    batch.clear();
  }
}

}  // namespace server
