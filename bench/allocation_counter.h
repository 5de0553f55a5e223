#pragma once

#include <cstdint>

namespace tavrin::bench {

// Calls of the global operator new since the program started.
std::uint64_t allocationCount();

} // namespace tavrin::bench
