// The host has no named system objects: the names that this process holds
// stand in for them, which is what tests within one process need.
#include "launcher/SingleInstance.h"

#include <algorithm>
#include <string>
#include <vector>

namespace nv {

namespace {

std::vector<std::string>& heldNames() {
    static std::vector<std::string> names;
    return names;
}

bool held(const std::string& name) {
    const std::vector<std::string>& names = heldNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

struct InstanceClaim::Objects {
    explicit Objects(std::string held) : name(std::move(held)) { heldNames().push_back(name); }
    ~Objects() {
        std::vector<std::string>& names = heldNames();
        names.erase(std::find(names.begin(), names.end(), name));
    }
    Objects(const Objects&) = delete;
    Objects& operator=(const Objects&) = delete;
    std::string name;
};

InstanceClaim::InstanceClaim() = default;
InstanceClaim::~InstanceClaim() = default;

bool InstanceClaim::claim(const LauncherString& name) {
    if (held(name.str())) return false;
    objects_ = std::make_unique<Objects>(name.str());
    return true;
}

// The holder is this process, which has no window to show.
bool bringInstanceForward(const LauncherString& name) { return held(name.str()); }

}  // namespace nv
