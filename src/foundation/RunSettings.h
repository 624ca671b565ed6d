#pragma once
// The run settings: written by the run driver from the command line and the
// input file, and handed with the run to the parts that act on them.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

struct RunSettings {
    LauncherString launcherPath;          // module file name of the running executable
    LauncherString originalLauncherPath;  // -nv:orig, else the launcher path
    bool originalLauncher = false;        // started with -nv:orig: remove own file at clean-up
    LauncherString tempDirOverride;       // -nv:tempdir
    LauncherString userJavaHome;          // -nv:javahome
    bool javaConsole = false;             // -nv:javaconsole, -console
    LauncherString classPathPrefix;       // -cp:p
    LauncherString classPathSuffix;       // -cp:a
    StringList passThrough;               // arguments handed to the launched program
    StringList allArguments;              // every argument after the program name
    // The seconds a JVM's verification may run before it is given up
    // (-nv:verifylimit, hidden, for tests). A cold JVM start on a slow machine
    // under load takes seconds; a minute is generous for that, yet bounds what
    // one hung java.exe costs a scan that verifies every one on every drive.
    unsigned verificationTimeLimit = 60;

    // The launcher the user ran: -nv:orig's path, else this one's. Companion
    // files and relative path hints are found beside it.
    const LauncherString& originalPath() const {
        return originalLauncherPath.empty() ? launcherPath : originalLauncherPath;
    }
};

}  // namespace nv
