// Runs a program with its standard output and error read through pipes, for tests of
// command-line programs. The destructor kills and reaps a child that is still running.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace corvane::sim::testing {

class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& args);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The first line of standard output (without its line break), or nothing when the
  // output ends or the time runs out first.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
  void Signal(int signal);
  // The exit status, or -1 when the child did not end in time (or ended by a signal).
  int Wait(std::chrono::milliseconds timeout);
  // Everything the child wrote to standard error; call after Wait.
  std::string ErrorOutput();

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string outBuffer_;
  bool reaped_ = false;
  int status_ = 0;  // wait status once reaped
};

}  // namespace corvane::sim::testing
