// Fault switches of the sandbox's item-search service, for reliability tests and demos.
#pragma once

#include <cstddef>

namespace corvane::sim {

struct Faults {
  int latencyMs = 0;              // every search answer waits this long first
  bool resetConnection = false;   // the connection is closed without any answer
  int failStatus = 0;             // an HTTP error status (e.g. 500, 503) with a short HTML body
  bool nonJsonBody = false;       // status 200 with an HTML page instead of JSON
  bool truncateBody = false;      // the full length is announced, half is sent, then closed
  std::size_t hugeBodyBytes = 0;  // the page's item list is repeated until the body is this big
  // The faults above, but not the latency, hit every Nth search request (counted over the
  // server's life); 1 or less: every request.
  int faultEvery = 1;

  bool operator==(const Faults&) const = default;
};

}  // namespace corvane::sim
