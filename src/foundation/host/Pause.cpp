#include <time.h>

#include "foundation/Pause.h"

namespace nv {

namespace {
class NanosleepPause : public Pause {
public:
    void wait(unsigned milliseconds) override {
        timespec span{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
        while (nanosleep(&span, &span) != 0) {
        }
    }
};
}  // namespace

Pause& systemPause() {
    static NanosleepPause pause;
    return pause;
}

}  // namespace nv
