// The submissions waiting for a store's one writer thread, which takes every one queued so
// far (up to a batch) and hands them to the store to keep in one transaction: group commit,
// so durability costs one sync per batch instead of one per request.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "server/score_store.hpp"

namespace server {

struct PendingSubmission {
  Submission submission;
  AdmitNew admit;
  SubmitDone done;  // called once by the batch's store, or by the queue when it refuses
  std::chrono::steady_clock::time_point queuedAt;
};

class SubmissionQueue {
 public:
  // Keeps the batch: answers every entry of it.
  using StoreBatch = std::function<void(std::vector<PendingSubmission>& batch)>;

  SubmissionQueue(std::size_t maxQueued, std::size_t maxBatch) : maxQueued_(maxQueued), maxBatch_(maxBatch) {}
  ~SubmissionQueue() { close(); }
  SubmissionQueue(const SubmissionQueue&) = delete;
  SubmissionQueue& operator=(const SubmissionQueue&) = delete;

  // Starts the writer thread; until then (and without it) submissions are Unavailable.
  void start(StoreBatch store);
  // Busy when maxQueued are waiting already, Unavailable when closed.
  void submit(Submission submission, AdmitNew admit, SubmitDone done);
  // Stores what is queued, then stops the writer; later submissions are Unavailable.
  void close();

 private:
  void writerLoop();

  const std::size_t maxQueued_;
  const std::size_t maxBatch_;
  StoreBatch store_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<PendingSubmission> queue_;
  bool started_ = false;
  bool closing_ = false;
  std::thread writer_;
};

}  // namespace server
