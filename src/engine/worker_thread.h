// The worker thread object: a stateless wrapper whose operations pass straight through to the
// thread functions of platform/thread.h (see there how each maps onto portable facilities).
// The handle and identifier live in the caller's variables.
//
//   Create        -> CreateThread (held at a gate when run immediately is false; with keep
//                    handle false the handle is released at once and the output left empty)
//   Suspend       -> SuspendThread   (-1 for a running thread: no portable meaning)
//   Resume        -> ResumeThread
//   SetPriority   -> SetThreadPriority  (normal priority only)
//   GetPriority   -> GetThreadPriority
//   ExitCurrent   -> ExitCurrentThread  (threads made by Create only)
//   Terminate     -> TerminateThread    (always fails: no portable meaning)
//   GetExitCode   -> GetExitCodeThread  (259 while the routine runs)
//   SetAffinity   -> SetThreadAffinityMask
//   Close         -> CloseThreadHandle
#pragma once

#include <cstdint>

#include "platform/thread.h"

namespace corvane::engine {

class WorkerThread {
 public:
  virtual ~WorkerThread() = default;
  virtual void Create(platform::ThreadRoutine routine, std::uintptr_t parameter,
                      platform::ThreadHandle& handle, bool keepHandle, bool runImmediately = true,
                      std::uint32_t* threadId = nullptr) const;
  int Suspend(const platform::ThreadHandle& handle) const;
  int Resume(const platform::ThreadHandle& handle) const;
  bool SetPriority(const platform::ThreadHandle& handle, int priority) const;
  int GetPriority(const platform::ThreadHandle& handle) const;
  [[noreturn]] void ExitCurrent(std::uint32_t exitCode) const;
  bool Terminate(const platform::ThreadHandle& handle, std::uint32_t exitCode) const;
  bool GetExitCode(const platform::ThreadHandle& handle, std::uint32_t& exitCode) const;
  std::uint64_t SetAffinity(const platform::ThreadHandle& handle, std::uint64_t mask) const;
  bool Close(platform::ThreadHandle& handle) const;
};

}  // namespace corvane::engine
