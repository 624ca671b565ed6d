#include "system/WindowsFamily.h"

namespace nv {

namespace {
// Set by the process before its run (the system reports the 9x family).
bool windows9x = false;
}  // namespace

void setWindows9xFlag(bool on) { windows9x = on; }
bool windows9xFlag() { return windows9x; }

}  // namespace nv
