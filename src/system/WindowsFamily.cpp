#include "system/WindowsFamily.h"

#include "foundation/RunState.h"

namespace nv {

void setWindows9xFlag(bool on) { runState().windows9x = on; }
bool windows9xFlag() { return runState().windows9x; }

}  // namespace nv
