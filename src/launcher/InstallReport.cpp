#include "launcher/InstallReport.h"

#include "foundation/DirectoryWalker.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "text/NumberText.h"

namespace nv {

void InstallReport::write(const LauncherString& destination, bool installed) const {
    LauncherString line = joinText({installed ? "Installed the carried JVM at " : "Installing the carried JVM at ",
                                    destination, installed ? ": " : " failed: "});
    const LauncherString time = joinText({" in ", formatCount(milliseconds_), " ms"});
    // Every file once: links lead out of the installation.
    DirectoryWalker walker(DirectoryWalker::OnCancel::walkOn, DirectoryWalker::OnLink::keepOut);
    try {
        walker.walk(destination);
    } catch (const LauncherException& e) {
        // The count is for the log: without it the line still says what is known.
        logEntry(joinText({line, "its files could not be counted (", e.message(), ")", time}));
        return;
    }
    logEntry(joinText({line, formatCount(walker.fileCount()), walker.fileCount() == 1 ? " file, " : " files, ",
                       formatCount(walker.byteCount()), " bytes", time}));
}

}  // namespace nv
