#include "foundation/RunSettings.h"

#include "foundation/RunState.h"

namespace nv {

RunSettings& runSettings() { return runState().settings; }

}  // namespace nv
