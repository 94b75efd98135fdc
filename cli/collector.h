// The headless collector: fills the main form from its options, runs the very collection the
// window's start button runs, waits for it and writes the result list.
#pragma once

#include <ostream>

#include "cli/options.h"

namespace corvane::cli {

// Exit codes.
inline constexpr int kExitFinished = 0;
inline constexpr int kExitFailed = 1;    // the run could not be started or an output failed
inline constexpr int kExitBadInput = 2;  // bad options, unreadable input, unwritable output

// Reads every input and checks every output before the first request. Problems are reported
// as one line on `err`.
int RunCollector(const CollectorOptions& options, std::ostream& out, std::ostream& err);

}  // namespace corvane::cli
