#include "launch/LaunchScript.h"

#include "tagfile/TagFile.h"

namespace nv {

LauncherString LaunchScript::description() const { return tags_.value("DESC"); }

}  // namespace nv
