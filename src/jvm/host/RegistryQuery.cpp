// The host has no registry: every key is missing.
#include <cerrno>

#include "jvm/RegistryQuery.h"

namespace nv {

namespace {
class NoRegistry : public Registry {
public:
    RegistryValue read(RegistryHive, const LauncherString&, const LauncherString&, RegistryView) override {
        RegistryValue result;
        result.error = ENOENT;
        return result;
    }
    RegistryKeys subkeys(RegistryHive, const LauncherString&, RegistryView) override {
        RegistryKeys result;
        result.error = ENOENT;
        return result;
    }
};
}  // namespace

Registry& systemRegistry() {
    static NoRegistry registry;
    return registry;
}

}  // namespace nv
