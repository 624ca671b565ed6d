#include "launcher/RunSettings.h"

namespace nv {

RunSettings& runSettings() {
    static RunSettings settings;
    return settings;
}

}  // namespace nv
