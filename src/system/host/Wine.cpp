#include "system/Wine.h"

namespace nv {

bool runsUnderWine() { return false; }

}  // namespace nv
