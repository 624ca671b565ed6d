#pragma once
// The one retry loop: try, and while the attempt asks for another go, wait
// and try again, up to a bound, so that nothing the launcher waits for can
// keep it alive for ever.

#include "foundation/Pause.h"

namespace nv {

// Calls attempt() (which returns true to ask for another try) at most `tries`
// times, with pause.wait(interval) between two calls. Returns true when the
// attempt stopped asking before the bound was reached.
template <class Attempt>
bool retry(Attempt attempt, unsigned tries, unsigned interval, Pause& pause) {
    for (unsigned made = 1;; ++made) {
        if (!attempt()) return true;
        if (made >= tries) return false;
        pause.wait(interval);
    }
}

}  // namespace nv
