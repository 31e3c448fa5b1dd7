// The workers that play posted replays again, off the I/O threads: a fixed number of threads,
// each with a judge of its own (made on that thread, since a verifier plays in its thread's
// game state), taking jobs from a bounded queue. A full queue refuses a job at once, so a
// burst of replays costs a 503, never unbounded memory or time.
//
// A job may ask to hear when it has not finished `wait` after it was posted: its `late`
// callback runs then, on the pool's timer thread, while the job goes on (a request that
// waited long enough is answered "queued"; the verdict is kept when it comes). `late` may
// run just as the job finishes: a job and its `late` must agree on who answers.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "app/replay_verifier.hpp"

namespace server {

// Judges the bytes of a replay file; one per worker thread.
using Judge = std::function<app::Verdict(std::span<const std::uint8_t> file)>;
// Makes a worker's judge, on the worker's thread.
using JudgeFactory = std::function<Judge()>;

// The game's own verifier (app::ReplayVerifier), with the level map of the data folder.
JudgeFactory replayVerifierJudges();
// Why the game's verifier cannot play here (no level map in the data folder); empty when it can.
std::string verifierProblem();

class VerificationPool {
 public:
  struct Job {
    std::function<void(const Judge& judge)> run;  // on a worker
    std::function<void()> late;                    // may be empty
  };

  // When stopping, queued jobs still run for at most this long; the rest are dropped.
  static constexpr std::chrono::milliseconds kDrainTime{5000};

  VerificationPool(std::size_t workers, std::size_t capacity, std::chrono::milliseconds wait, JudgeFactory judges);
  ~VerificationPool();
  VerificationPool(const VerificationPool&) = delete;
  VerificationPool& operator=(const VerificationPool&) = delete;

  // False when the queue is full or the pool stopping: the job will never run.
  bool post(Job job);
  // Jobs waiting for a worker.
  std::size_t queued() const;
  // Runs what is queued (for at most kDrainTime), then ends the threads; later posts are
  // refused. How many queued jobs were dropped.
  std::size_t stop();

 private:
  struct Waiting;
  struct Alarm {
    std::chrono::steady_clock::time_point due;
    std::shared_ptr<Waiting> job;
  };

  void work();
  void watch();

  const std::size_t capacity_;
  const std::chrono::milliseconds wait_;
  JudgeFactory judges_;
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::condition_variable alarmReady_;
  std::deque<std::shared_ptr<Waiting>> jobs_;
  std::deque<Alarm> alarms_;  // in the order of their deadlines, since every job waits as long
  bool stopping_ = false;
  bool timerStopping_ = false;
  std::chrono::steady_clock::time_point drainUntil_;
  std::size_t dropped_ = 0;
  std::vector<std::thread> workers_;
  std::thread timer_;
};

}  // namespace server
