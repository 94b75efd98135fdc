#include "platform/clock.h"

namespace corvane::platform {

namespace {

class RealTimeClock final : public Clock {
 public:
  std::chrono::system_clock::time_point Now() const override {
    return std::chrono::system_clock::now();
  }
};

}  // namespace

const Clock& SystemClock() {
  static const RealTimeClock clock;
  return clock;
}

}  // namespace corvane::platform
