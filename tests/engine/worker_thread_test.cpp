#include "engine/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "support/gate.h"

namespace corvane::engine {
namespace {

using namespace std::chrono_literals;

// A routine that runs until released, so a test can look at a thread while it runs.
struct HeldRoutine {
  std::uint32_t Run(std::uintptr_t parameter) {
    started.Open();
    released.Wait(60s);
    return static_cast<std::uint32_t>(parameter);
  }
  testing::Gate started;
  testing::Gate released;
};

TEST(WorkerThread, RunsAtOnceAndReportsStillActiveUntilItReturns) {
  HeldRoutine routine;
  platform::ThreadHandle handle;
  std::uint32_t id = 0;
  WorkerThread().Create([&](std::uintptr_t p) { return routine.Run(p); }, 42, handle, true, true,
                        &id);
  ASSERT_TRUE(handle);
  EXPECT_NE(id, 0u);
  ASSERT_TRUE(routine.started.Wait(10s));
  std::uint32_t code = 0;
  EXPECT_TRUE(WorkerThread().GetExitCode(handle, code));
  EXPECT_EQ(code, platform::kStillActive);
  EXPECT_EQ(WorkerThread().Suspend(handle), -1);  // a running thread cannot be held
  EXPECT_FALSE(WorkerThread().Terminate(handle, 1));
  EXPECT_NE(WorkerThread().SetAffinity(handle, 1), 0u);
  routine.released.Open();
  ASSERT_TRUE(platform::WaitForThread(handle, 10s));
  EXPECT_TRUE(WorkerThread().GetExitCode(handle, code));
  EXPECT_EQ(code, 42u);
  EXPECT_EQ(WorkerThread().SetAffinity(handle, 1), 0u);
  EXPECT_TRUE(WorkerThread().Close(handle));
  EXPECT_FALSE(handle);
  EXPECT_FALSE(WorkerThread().Close(handle));
}

TEST(WorkerThread, CreatedSuspendedItWaitsForResume) {
  std::atomic<bool> ran = false;
  platform::ThreadHandle handle;
  WorkerThread().Create(
      [&](std::uintptr_t) {
        ran = true;
        return 7u;
      },
      0, handle, true, false);
  EXPECT_EQ(WorkerThread().Suspend(handle), 1);  // held threads count suspensions
  EXPECT_EQ(WorkerThread().Resume(handle), 2);
  EXPECT_FALSE(platform::WaitForThread(handle, 50ms));
  EXPECT_FALSE(ran);
  EXPECT_EQ(WorkerThread().Resume(handle), 1);
  ASSERT_TRUE(platform::WaitForThread(handle, 10s));
  EXPECT_TRUE(ran);
  EXPECT_EQ(WorkerThread().Resume(handle), 0);
}

TEST(WorkerThread, WithoutKeepingTheHandleTheThreadStillRuns) {
  std::mutex mutex;
  std::condition_variable done;
  bool ran = false;
  platform::ThreadHandle handle;
  WorkerThread().Create(
      [&](std::uintptr_t) {
        std::lock_guard lock(mutex);
        ran = true;
        done.notify_all();
        return 0u;
      },
      0, handle, false);
  EXPECT_FALSE(handle);
  std::unique_lock lock(mutex);
  EXPECT_TRUE(done.wait_for(lock, 10s, [&] { return ran; }));
}

TEST(WorkerThread, ExitCurrentEndsTheThreadWithItsCode) {
  platform::ThreadHandle handle;
  WorkerThread().Create([](std::uintptr_t) -> std::uint32_t { WorkerThread().ExitCurrent(5); }, 0,
                        handle, true);
  ASSERT_TRUE(platform::WaitForThread(handle, 10s));
  std::uint32_t code = 0;
  WorkerThread().GetExitCode(handle, code);
  EXPECT_EQ(code, 5u);
  EXPECT_EQ(WorkerThread().GetPriority(handle), platform::kThreadPriorityNormal);
  EXPECT_TRUE(WorkerThread().SetPriority(handle, platform::kThreadPriorityNormal));
  EXPECT_FALSE(WorkerThread().SetPriority(handle, 2));
  EXPECT_EQ(WorkerThread().GetPriority(nullptr), platform::kThreadPriorityErrorReturn);
}

}  // namespace
}  // namespace corvane::engine
