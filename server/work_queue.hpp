// Blocking store work off the I/O threads: a fixed number of worker threads take jobs from a
// bounded queue. A full queue refuses the job at once (the request gets a 503), so a slow
// store cannot pile up memory.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace server {

// Where the request handling sends its blocking work. Tests run it in place.
class WorkRunner {
 public:
  virtual ~WorkRunner() = default;
  // False when the job cannot be taken (queue full, or stopping): it will never run.
  virtual bool post(std::function<void()> job) = 0;
};

class WorkQueue final : public WorkRunner {
 public:
  WorkQueue(std::size_t threads, std::size_t capacity);
  ~WorkQueue() override;
  WorkQueue(const WorkQueue&) = delete;
  WorkQueue& operator=(const WorkQueue&) = delete;

  bool post(std::function<void()> job) override;
  // Runs what is queued, then ends the threads; later posts are refused.
  void stop();

 private:
  void run();

  std::size_t capacity_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> jobs_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// Runs every job at once on the caller's thread.
class InlineRunner final : public WorkRunner {
 public:
  bool post(std::function<void()> job) override {
    job();
    return true;
  }
};

}  // namespace server
