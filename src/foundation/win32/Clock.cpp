#include <windows.h>

#include "foundation/Clock.h"

namespace nv {

namespace {
class TickClock : public Clock {
public:
    std::uint32_t milliseconds() override { return GetTickCount(); }
};
}  // namespace

Clock& systemClock() {
    static TickClock clock;
    return clock;
}

}  // namespace nv
