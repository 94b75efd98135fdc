#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

extern char** environ;

namespace corvane::sim::testing {

using Clock = std::chrono::steady_clock;

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
  int outPipe[2];
  int errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    throw std::runtime_error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  out_ = outPipe[0];
  err_ = errPipe[0];
  if (rc != 0) {
    close(out_);
    close(err_);
    throw std::runtime_error("cannot start " + program);
  }
}

ChildProcess::~ChildProcess() {
  if (!reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  close(out_);
  close(err_);
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (true) {
    if (const std::size_t end = outBuffer_.find('\n'); end != std::string::npos) {
      std::string line = outBuffer_.substr(0, end);
      outBuffer_.erase(0, end + 1);
      return line;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd wanted{out_, POLLIN, 0};
    if (poll(&wanted, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[4096];
    const ssize_t got = read(out_, buffer, sizeof buffer);
    if (got <= 0) return std::nullopt;
    outBuffer_.append(buffer, static_cast<std::size_t>(got));
  }
}

void ChildProcess::Signal(int signal) {
  if (!reaped_) kill(pid_, signal);
}

int ChildProcess::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!reaped_) {
    const pid_t done = waitpid(pid_, &status_, WNOHANG);
    if (done == pid_) {
      reaped_ = true;
      break;
    }
    if (Clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));  // polling the exit, bounded
  }
  return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

std::string ChildProcess::ErrorOutput() {
  std::string text;
  char buffer[4096];
  pollfd wanted{err_, POLLIN, 0};
  while (poll(&wanted, 1, 0) > 0) {
    const ssize_t got = read(err_, buffer, sizeof buffer);
    if (got <= 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

}  // namespace corvane::sim::testing
