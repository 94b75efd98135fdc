#include "platform/thread.h"

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace corvane::platform {

struct ThreadRecord {
  std::mutex mutex;
  std::condition_variable changed;
  int suspendCount = 0;
  bool finished = false;
  std::uint32_t exitCode = kStillActive;
  pthread_t nativeHandle{};
};

namespace {

// Thrown by ExitCurrentThread and caught by the thread's own frame.
struct ThreadExit {
  std::uint32_t exitCode;
};

std::atomic<std::uint32_t> lastThreadId{0};

void RunThread(const ThreadHandle& record, const ThreadRoutine& routine, std::uintptr_t parameter) {
  {
    std::unique_lock lock(record->mutex);
    record->changed.wait(lock, [&] { return record->suspendCount == 0; });
  }
  std::uint32_t exitCode;
  try {
    exitCode = routine(parameter);
  } catch (const ThreadExit& exit) {
    exitCode = exit.exitCode;
  }
  std::lock_guard lock(record->mutex);
  record->exitCode = exitCode;
  record->finished = true;
  record->changed.notify_all();
}

}  // namespace

ThreadHandle CreateThread(ThreadRoutine routine, std::uintptr_t parameter, bool suspended,
                          std::uint32_t* threadId) {
  auto record = std::make_shared<ThreadRecord>();
  record->suspendCount = suspended ? 1 : 0;
  try {
    std::thread thread(RunThread, record, std::move(routine), parameter);
    {
      std::lock_guard lock(record->mutex);
      record->nativeHandle = thread.native_handle();
    }
    thread.detach();
  } catch (const std::system_error&) {
    return {};
  }
  if (threadId) *threadId = ++lastThreadId;
  return record;
}

int SuspendThread(const ThreadHandle& handle) {
  if (!handle) return -1;
  std::lock_guard lock(handle->mutex);
  if (handle->suspendCount == 0) return -1;  // running threads cannot be held portably
  return handle->suspendCount++;
}

int ResumeThread(const ThreadHandle& handle) {
  if (!handle) return -1;
  std::lock_guard lock(handle->mutex);
  const int previous = handle->suspendCount;
  if (previous > 0 && --handle->suspendCount == 0) handle->changed.notify_all();
  return previous;
}

bool SetThreadPriority(const ThreadHandle& handle, int priority) {
  return handle && priority == kThreadPriorityNormal;
}

int GetThreadPriority(const ThreadHandle& handle) {
  return handle ? kThreadPriorityNormal : kThreadPriorityErrorReturn;
}

void ExitCurrentThread(std::uint32_t exitCode) {
  throw ThreadExit{exitCode};
}

bool TerminateThread(const ThreadHandle&, std::uint32_t) {
  return false;
}

bool GetExitCodeThread(const ThreadHandle& handle, std::uint32_t& exitCode) {
  if (!handle) return false;
  std::lock_guard lock(handle->mutex);
  exitCode = handle->exitCode;
  return true;
}

std::uint64_t SetThreadAffinityMask(const ThreadHandle& handle, std::uint64_t mask) {
  if (!handle || mask == 0) return 0;
  // The record's lock keeps the thread alive: it marks itself finished under the same lock.
  std::lock_guard lock(handle->mutex);
  if (handle->finished) return 0;
  cpu_set_t previous;
  CPU_ZERO(&previous);
  if (pthread_getaffinity_np(handle->nativeHandle, sizeof previous, &previous) != 0) return 0;
  cpu_set_t wanted;
  CPU_ZERO(&wanted);
  for (int cpu = 0; cpu < 64; ++cpu) {
    if (mask & (std::uint64_t{1} << cpu)) CPU_SET(cpu, &wanted);
  }
  if (pthread_setaffinity_np(handle->nativeHandle, sizeof wanted, &wanted) != 0) return 0;
  std::uint64_t previousMask = 0;
  for (int cpu = 0; cpu < 64; ++cpu) {
    if (CPU_ISSET(cpu, &previous)) previousMask |= std::uint64_t{1} << cpu;
  }
  return previousMask;
}

bool CloseThreadHandle(ThreadHandle& handle) {
  if (!handle) return false;
  handle.reset();
  return true;
}

bool WaitForThread(const ThreadHandle& handle, std::chrono::milliseconds timeout) {
  if (!handle) return true;
  std::unique_lock lock(handle->mutex);
  return handle->changed.wait_for(lock, timeout, [&] { return handle->finished; });
}

}  // namespace corvane::platform
