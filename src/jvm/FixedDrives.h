#pragma once
// The drives that drive-rooted path hints and the exhaustive search try.

#include "foundation/StringList.h"

namespace nv {

// The fixed drives in the system's order, each as its root without the last
// character ("C:\" gives "C:"). Throws LauncherException IDS_NO_DRIVES ("No
// drives found on this system.") when the system lists no drive at all.
StringList fixedDrives();

}  // namespace nv
