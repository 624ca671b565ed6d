#pragma once
// One instance of a launcher at a time, for a program that asks for it (the
// instruction file's SINGLE_INSTANCE: 1): the first start claims a name
// made from the launcher's path (and, for an embedded launcher, from what it
// carries); a start while that claim is held brings
// the first one's window forward and ends. The claim and the windows are the
// system's (win32/); the host stands in with the names this process holds.

#include <cstdint>

#include "archive/LauncherFile.h"
#include "foundation/LauncherString.h"
#include "foundation/RunSettings.h"
#include "foundation/UniqueHandle.h"

namespace nv {

// The run's result, and so the exit code, of a start that found its
// launcher running already.
constexpr std::int32_t anotherInstanceResult = -2;

// A claim the system made, held until its owner goes.
void releaseInstanceClaim(void* claim);
using InstanceClaim = UniqueHandle<void*, releaseInstanceClaim, nullHandle<void*>>;

// Claims `name` for this process into `claim` and returns 0; a later claim
// of the name learns this process's id. When another process holds the
// name, returns that one's id (-1 when it has not told it yet) and `claim`
// stays empty. A claim that the system cannot make lets the run go on: 0.
long claimInstance(const LauncherString& name, InstanceClaim& claim);

// Brings forward the topmost visible top-level window of process `id`,
// restored when it is minimized. False when it shows none.
bool bringProcessForward(long id);

// For a program that asks for one instance: claims this launcher's name
// into `claim` and returns true; when another start holds it, brings that
// one forward, logs it and returns false. The name comes from the full path
// of the launcher the user ran, the same for every spelling of it (the case
// of A-Z, 8.3 names). A copy that EXECUTE_LAUNCHER started (-nv:orig) runs
// the program of another launcher file, `own`, loaded: its name adds a mark
// and own's index (each entry's type, id, place, size, checksum and name),
// so that each launcher embedded in one file has a name of its own, the same
// at every start, wherever the copy was written.
bool claimSingleInstance(const RunSettings& settings, const LauncherFile& own, InstanceClaim& claim);

}  // namespace nv
