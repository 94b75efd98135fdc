// Threads for the program's worker: a handle-based layer with the usual operations of a
// desktop platform's thread functions, on std::thread. A handle is a counted reference to the
// thread's record, so the record outlives both the thread and every copy of the handle.
//
// Mapping onto portable facilities:
// - A thread created suspended is started at once but held at a gate before its routine
//   runs; ResumeThread opens the gate. SuspendThread only works on such a held thread (it
//   raises the count); a running thread cannot be suspended portably, so it reports -1.
// - TerminateThread cannot end a thread portably: it reports failure.
// - Priorities: only the normal priority (0) is supported; other values report failure.
// - ExitCurrentThread ends a thread made by CreateThread by unwinding its routine.
// - The exit code reads kStillActive until the routine has returned.
// - CloseThreadHandle drops one reference; the thread runs on.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace corvane::platform {

inline constexpr std::uint32_t kStillActive = 259;
inline constexpr int kThreadPriorityNormal = 0;
inline constexpr int kThreadPriorityErrorReturn = 0x7FFFFFFF;

using ThreadRoutine = std::function<std::uint32_t(std::uintptr_t parameter)>;

struct ThreadRecord;
using ThreadHandle = std::shared_ptr<ThreadRecord>;

// Empty handle when the thread cannot be created. `threadId` receives a process-unique id.
ThreadHandle CreateThread(ThreadRoutine routine, std::uintptr_t parameter, bool suspended,
                          std::uint32_t* threadId = nullptr);
// Previous suspend count, or -1 on failure.
int SuspendThread(const ThreadHandle& handle);
int ResumeThread(const ThreadHandle& handle);
bool SetThreadPriority(const ThreadHandle& handle, int priority);
int GetThreadPriority(const ThreadHandle& handle);
[[noreturn]] void ExitCurrentThread(std::uint32_t exitCode);
bool TerminateThread(const ThreadHandle& handle, std::uint32_t exitCode);
bool GetExitCodeThread(const ThreadHandle& handle, std::uint32_t& exitCode);
// Previous mask, or 0 on failure (also once the routine has returned).
std::uint64_t SetThreadAffinityMask(const ThreadHandle& handle, std::uint64_t mask);
bool CloseThreadHandle(ThreadHandle& handle);
// Waits until the routine has returned; false when `timeout` passed first.
bool WaitForThread(const ThreadHandle& handle, std::chrono::milliseconds timeout);

}  // namespace corvane::platform
