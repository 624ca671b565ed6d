#pragma once
// The places where the common Java installers record their Java homes, for
// a JVM file with KNOWN_JAVA_INSTALLS: 1: written as platform and path hints,
// so that they are read exactly as an author's hints are.

#include "foundation/LauncherString.h"

namespace nv {

// One place of the catalogue.
struct KnownInstall {
    bool registry = false;  // a platform hint; otherwise a path hint
    LauncherString hint;
};

// The catalogue's places in the order searched: JAVA_HOME, the Java
// executables on PATH, the registry keys in HKEY_LOCAL_MACHINE then
// HKEY_CURRENT_USER, the default folders under each Program Files folder and
// the per-user %LOCALAPPDATA%\Programs. False past the last.
bool knownInstall(int index, KnownInstall& place);

}  // namespace nv
