#include <time.h>

#include "foundation/Clock.h"

namespace nv {

namespace {
class MonotonicClock : public Clock {
public:
    std::uint32_t milliseconds() override {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return static_cast<std::uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
    }
};
}  // namespace

Clock& systemClock() {
    static MonotonicClock clock;
    return clock;
}

}  // namespace nv
