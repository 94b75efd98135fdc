// The command line of corvane-sim, parsed without exceptions so that every bad option ends
// in one clear message.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "sim/sandbox_server.h"

namespace corvane::sim {

struct CommandLine {
  SandboxOptions options;
  bool help = false;
};

// The options after the program name. A text on failure, saying what was wrong.
std::variant<CommandLine, std::string> ParseCommandLine(const std::vector<std::string>& args);

std::string_view UsageText();

}  // namespace corvane::sim
