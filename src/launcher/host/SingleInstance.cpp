// The host has no named system objects: the names that this process holds
// stand in for them, which is what tests within one process need. A claim
// is the held name; the holder is this process, which shows no window.
#include "launcher/SingleInstance.h"

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace nv {

namespace {

std::vector<std::string*>& heldNames() {
    static std::vector<std::string*> names;
    return names;
}

}  // namespace

void releaseInstanceClaim(void* claim) {
    std::vector<std::string*>& names = heldNames();
    names.erase(std::find(names.begin(), names.end(), claim));
    delete static_cast<std::string*>(claim);
}

long claimInstance(const LauncherString& name, InstanceClaim& claim) {
    for (const std::string* held : heldNames()) {
        if (*held == name.str()) return static_cast<long>(::getpid());
    }
    heldNames().push_back(new std::string(name.str()));
    claim.reset(heldNames().back());
    return 0;
}

bool bringProcessForward(long) { return false; }

}  // namespace nv
