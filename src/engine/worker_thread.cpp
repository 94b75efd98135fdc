#include "engine/worker_thread.h"

namespace corvane::engine {

void WorkerThread::Create(platform::ThreadRoutine routine, std::uintptr_t parameter,
                          platform::ThreadHandle& handle, bool keepHandle, bool runImmediately,
                          std::uint32_t* threadId) const {
  handle = platform::CreateThread(std::move(routine), parameter, !runImmediately, threadId);
  if (!keepHandle) platform::CloseThreadHandle(handle);
}

int WorkerThread::Suspend(const platform::ThreadHandle& handle) const {
  return platform::SuspendThread(handle);
}

int WorkerThread::Resume(const platform::ThreadHandle& handle) const {
  return platform::ResumeThread(handle);
}

bool WorkerThread::SetPriority(const platform::ThreadHandle& handle, int priority) const {
  return platform::SetThreadPriority(handle, priority);
}

int WorkerThread::GetPriority(const platform::ThreadHandle& handle) const {
  return platform::GetThreadPriority(handle);
}

void WorkerThread::ExitCurrent(std::uint32_t exitCode) const {
  platform::ExitCurrentThread(exitCode);
}

bool WorkerThread::Terminate(const platform::ThreadHandle& handle, std::uint32_t exitCode) const {
  return platform::TerminateThread(handle, exitCode);
}

bool WorkerThread::GetExitCode(const platform::ThreadHandle& handle,
                               std::uint32_t& exitCode) const {
  return platform::GetExitCodeThread(handle, exitCode);
}

std::uint64_t WorkerThread::SetAffinity(const platform::ThreadHandle& handle,
                                        std::uint64_t mask) const {
  return platform::SetThreadAffinityMask(handle, mask);
}

bool WorkerThread::Close(platform::ThreadHandle& handle) const {
  return platform::CloseThreadHandle(handle);
}

}  // namespace corvane::engine
