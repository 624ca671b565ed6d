// The host's file names have no short forms.
#include "system/LongPath.h"

namespace nv {

LauncherString longPathName(const LauncherString& path) { return path; }

}  // namespace nv
