// The verification workers without a verifier: fake judges show that each worker makes its
// own on its own thread, that the queue is bounded, that a job still running at its deadline
// is reported late while it goes on, and that stopping finishes what was queued.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <set>
#include <thread>

#include "server/verification_pool.hpp"

namespace server {
namespace {

using namespace std::chrono_literals;

// A judge that says nothing of the file; the jobs below do their own work.
JudgeFactory plainJudges(std::set<std::thread::id>* madeOn = nullptr, std::mutex* guard = nullptr) {
  return [madeOn, guard] {
    if (madeOn != nullptr) {
      std::lock_guard lock(*guard);
      madeOn->insert(std::this_thread::get_id());
    }
    return Judge([](std::span<const std::uint8_t>) { return app::Verdict{}; });
  };
}

// A gate that jobs wait at until the test opens it.
class Gate {
 public:
  void wait() { opened_.wait(); }
  void open() { promise_.set_value(); }

 private:
  std::promise<void> promise_;
  std::shared_future<void> opened_ = promise_.get_future().share();
};

TEST(VerificationPoolTest, EachWorkerJudgesWithAJudgeMadeOnItsOwnThread) {
  std::set<std::thread::id> madeOn;
  std::mutex guard;
  Gate gate;
  std::promise<void> bothRunning;
  std::atomic<int> running{0};
  std::set<std::thread::id> ranOn;
  {
    VerificationPool pool(2, 8, 10s, plainJudges(&madeOn, &guard));
    for (int i = 0; i < 2; ++i) {
      ASSERT_TRUE(pool.post({[&](const Judge&) {
                               {
                                 std::lock_guard lock(guard);
                                 ranOn.insert(std::this_thread::get_id());
                               }
                               if (++running == 2) bothRunning.set_value();
                               gate.wait();
                             },
                             {}}));
    }
    bothRunning.get_future().wait();  // two jobs at once: two workers
    gate.open();
    pool.stop();
  }
  EXPECT_EQ(madeOn.size(), 2u);
  EXPECT_EQ(ranOn, madeOn);
}

TEST(VerificationPoolTest, AFullQueueRefusesAtOnceAndStoppingRunsWhatWasQueued) {
  Gate gate;
  std::promise<void> started;
  std::atomic<int> finished{0};
  VerificationPool pool(1, 2, 10s, plainJudges());
  ASSERT_TRUE(pool.post({[&](const Judge&) {
                           started.set_value();
                           gate.wait();
                           ++finished;
                         },
                         {}}));
  started.get_future().wait();  // the worker holds the first; two more fill the queue
  const auto count = [&](const Judge&) { ++finished; };
  EXPECT_TRUE(pool.post({count, {}}));
  EXPECT_TRUE(pool.post({count, {}}));
  EXPECT_EQ(pool.queued(), 2u);
  EXPECT_FALSE(pool.post({count, {}}));
  gate.open();
  EXPECT_EQ(pool.stop(), 0u);
  EXPECT_EQ(finished, 3);
  EXPECT_FALSE(pool.post({count, {}})) << "a stopped pool takes nothing";
}

TEST(VerificationPoolTest, AJobStillRunningAtItsDeadlineIsReportedLateAndGoesOn) {
  Gate gate;
  std::atomic<bool> quickLate{false};
  std::promise<void> slowLate;
  std::atomic<bool> slowFinished{false};
  std::promise<void> quickDone;
  VerificationPool pool(1, 4, 1s, plainJudges());
  ASSERT_TRUE(pool.post({[&](const Judge&) { quickDone.set_value(); }, [&] { quickLate = true; }}));
  quickDone.get_future().wait();
  ASSERT_TRUE(pool.post({[&](const Judge&) {
                           gate.wait();
                           slowFinished = true;
                         },
                         [&] { slowLate.set_value(); }}));
  // Deadlines fall in the order of the posts: when the slow job is late, the quick one's
  // deadline has passed too, and it had finished by then.
  slowLate.get_future().wait();
  EXPECT_FALSE(quickLate);
  EXPECT_FALSE(slowFinished);
  gate.open();
  pool.stop();
  EXPECT_TRUE(slowFinished);
}

}  // namespace
}  // namespace server
