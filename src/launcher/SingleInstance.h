#pragma once
// One instance of a launcher at a time, for a program that asks for it (the
// instruction file's SINGLE_INSTANCE: 1): the first start claims a name
// made from the launcher's path; a start while that claim is held brings
// the first one's window forward and ends. The claim and the window are the
// system's (win32/); the host stands in with the names this process holds.

#include <cstdint>
#include <memory>

#include "foundation/LauncherString.h"

namespace nv {

// The run's result, and so the exit code, of a start that found its
// launcher running already.
constexpr std::int32_t anotherInstanceResult = -2;

// The claim's name for the launcher at `launcherPath` (a full path): the
// same for every spelling of the path that differs in the case of A-Z. A
// copy that EXECUTE_LAUNCHER started (-nv:orig naming `launcherPath`) runs
// the program of another launcher file and gets a name of its own.
LauncherString instanceName(const LauncherString& launcherPath, bool copy);

// A claim of a name, held while the object lives.
class InstanceClaim {
public:
    InstanceClaim();
    ~InstanceClaim();
    InstanceClaim(const InstanceClaim&) = delete;
    InstanceClaim& operator=(const InstanceClaim&) = delete;

    // Claims `name` for this process and records the process for a later
    // start. False only when another holder has it: a claim that the system
    // cannot make lets the run go on.
    bool claim(const LauncherString& name);

private:
    struct Objects;  // the system's objects that make the claim
    std::unique_ptr<Objects> objects_;
};

// Brings forward a visible window of the process that holds `name`, else one
// of a process it started (the launched program's), restored when it is
// minimized. False when there is none.
bool bringInstanceForward(const LauncherString& name);

// For a program that asks for one instance: claims this launcher's name
// into `claim` and returns true; when another start holds it, brings that
// one forward, logs it and returns false.
bool claimSingleInstance(InstanceClaim& claim);

}  // namespace nv
