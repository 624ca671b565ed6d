// The host is never of the Windows 9x family.
#include "system/WindowsFamily.h"

namespace nv {

bool isWindows9x() { return false; }

}  // namespace nv
