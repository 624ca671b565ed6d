// The host has no registry: every key is missing.
#include <cerrno>

#include "jvm/RegistryQuery.h"

namespace nv {

RegistryValue readRegistryValue(RegistryHive, const LauncherString&, const LauncherString&) {
    RegistryValue result;
    result.error = ENOENT;
    return result;
}

}  // namespace nv
