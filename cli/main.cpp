// corvane-cli: the headless collector.
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/collector.h"
#include "cli/options.h"

int main(int argc, char** argv) {
  using namespace corvane::cli;
  CollectorOptions options;
  try {
    options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& problem) {
    std::cerr << "corvane-cli: " << problem.what() << "\n";
    return kExitBadInput;
  }
  if (options.help) {
    std::cout << kUsage;
    return kExitFinished;
  }
  return RunCollector(options, std::cout, std::cerr);
}
