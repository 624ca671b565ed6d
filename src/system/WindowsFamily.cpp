#include "system/WindowsFamily.h"

namespace nv {

namespace {
bool flag = false;
}

void setWindows9xFlag(bool on) { flag = on; }
bool windows9xFlag() { return flag; }

}  // namespace nv
