#pragma once
// How long work took, behind one seam: the launcher reads the system's
// millisecond tick, tests set the time they want.

#include <cstdint>

namespace nv {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed point; the count wraps, and the
    // difference of two readings (unsigned) is still right across a wrap.
    virtual std::uint32_t milliseconds() = 0;
};

// The system's tick count. Shared by the whole process.
Clock& systemClock();

}  // namespace nv
