#include "system/Wine.h"

namespace nv {

bool runsUnderWine() { return false; }

bool isWineFileLink(const LauncherString&) { return false; }

}  // namespace nv
