#include "launcher/EndOfRun.h"

namespace nv {

bool isFailedRun(std::int32_t result, int modeByte) {
    if (result == 0) return false;
    return !((modeByte == 0 || modeByte == 2) && result == 1000);
}

int exitCodeOf(std::int32_t result, int modeByte) { return isFailedRun(result, modeByte) ? result : 0; }

}  // namespace nv
