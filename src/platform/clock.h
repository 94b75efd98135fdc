// The wall clock, behind an interface so that code that writes timestamps can be tested at a
// fixed moment.
#pragma once

#include <chrono>

namespace corvane::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::chrono::system_clock::time_point Now() const = 0;
};

// The system's real-time clock. The object is stateless and lives for the whole process.
const Clock& SystemClock();

}  // namespace corvane::platform
