#include <windows.h>

#include "foundation/Pause.h"

namespace nv {

namespace {
class SleepPause : public Pause {
public:
    void wait(unsigned milliseconds) override { Sleep(milliseconds); }
};
}  // namespace

Pause& systemPause() {
    static SleepPause pause;
    return pause;
}

}  // namespace nv
