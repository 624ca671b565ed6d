// The host is never of the Windows 9x family, and stands for 64-bit Windows.
#include "system/WindowsFamily.h"

namespace nv {

bool isWindows9x() { return false; }

// The hosts the tests run on are 64-bit.
bool is64BitWindows() { return true; }

}  // namespace nv
