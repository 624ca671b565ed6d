#pragma once
// How long work took: the system's millisecond tick, and the seam through
// which tests give the time they want instead.

#include <cstdint>

namespace nv {

// Milliseconds since some fixed point; the count wraps, and the difference
// of two readings (unsigned) is still right across a wrap.
using Clock = std::uint32_t (*)();

// The system's tick count.
std::uint32_t tickCount();

}  // namespace nv
