#include "jvm/JvmFile.h"

#include "tagfile/TagFile.h"

namespace nv {

LauncherString JvmFile::lookupVariable(const LauncherString& name) const {
    LauncherString value = tags_.value(name);
    if (name == "JVM_HOME" && !value.empty() && value[value.length() - 1] == '\\') {
        value.erase(value.length() - 1, 1);
    }
    return value;
}

}  // namespace nv
