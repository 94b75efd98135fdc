// The byte array that the network layer hands around: response bodies, request bodies.
#pragma once

#include <cstdint>
#include <vector>

namespace corvane::platform {

using Bytes = std::vector<std::uint8_t>;

}  // namespace corvane::platform
