// corvane-sim: the sandbox affiliate platform as a program of its own, for trying Corvane
// (or curl, or a browser) against it. Serves until SIGINT or SIGTERM.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "sim/command_line.h"
#include "sim/sandbox_server.h"

int main(int argc, char** argv) {
  using namespace corvane::sim;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto parsed = ParseCommandLine(args);
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    std::cerr << "corvane-sim: " << *error << "\n";
    return 2;
  }
  const CommandLine& line = std::get<CommandLine>(parsed);
  if (line.help) {
    std::cout << UsageText();
    return 0;
  }

  // Blocked before any thread starts, so that only sigwait below receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  try {
    SandboxServer server(line.options);
    server.Start();
    std::cout << "corvane-sim: publisher " << server.BaseUrl() << " login " << server.LoginUrl()
              << " filter-list " << server.FilterListUrl() << std::endl;
    int received = 0;
    sigwait(&stopSignals, &received);
    server.Stop();
  } catch (const std::exception& error) {
    std::cerr << "corvane-sim: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
