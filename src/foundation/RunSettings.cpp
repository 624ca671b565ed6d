#include "foundation/RunSettings.h"

namespace nv {

RunSettings& runSettings() {
    static RunSettings settings;
    return settings;
}

void resetRunSettings() { runSettings() = RunSettings(); }

}  // namespace nv
