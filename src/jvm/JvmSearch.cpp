#include "jvm/JvmSearch.h"

#include "cleanup/TemporaryFiles.h"
#include "foundation/Log.h"
#include "foundation/ProgressUi.h"
#include "jvm/FixedDrives.h"
#include "jvm/JvmFileWalker.h"
#include "tagfile/TagFile.h"

namespace nv {

void JvmSearch::startSearch() {
    found_.reset();
    stopAtFirst_ = false;
    unverified_.clear();
}

void JvmSearch::findFirst(ObjectList<JvmMatch>& results) {
    startSearch();
    const LauncherString& userHome = settings_.userJavaHome;
    if (!userHome.empty()) {
        logEntry("Checking user specified Java home directory => " + userHome);
        for (std::int32_t i = 0; !found_ && i < jvmFiles_.count(); ++i) {
            found_ = jvmFiles_.get(i)->checkHome(userHome, verifyClassPath, verifyClassName);
        }
    }
    if (!found_) {
        logEntry("Initiating JVM search based on hints...");
        for (std::int32_t i = 0; i < jvmFiles_.count(); ++i) {
            JvmFile& jvm = *jvmFiles_.get(i);
            const bool searchAll = jvm.tags().boolValue("SEARCH_ALL", false);
            {
                StatusDetailScope restoreDetail;
                setStatusDetail(StatusDetail::searching, jvm.tags().value("DESC"));
                found_ = jvm.searchByHints(verifyClassPath, verifyClassName);
            }
            if (found_) break;
            if (searchAll) {
                // The later JVM files are not searched by hints; the scan
                // still looks for their executables.
                stopAtFirst_ = true;
                exhaustiveSearch(results);
                break;
            }
        }
    }
    if (found_) results.append(std::move(found_));
}

void JvmSearch::findAll(ObjectList<JvmMatch>& results) {
    startSearch();
    exhaustiveSearch(results);
}

void JvmSearch::exhaustiveSearch(ObjectList<JvmMatch>& results) {
    unverified_.clear();
    StringList exeNames;
    for (std::int32_t i = 0; i < jvmFiles_.count(); ++i) {
        const LauncherString name = jvmFiles_.get(i)->exeName();
        bool known = false;
        for (std::int32_t k = 0; !known && k < exeNames.count(); ++k) known = exeNames.get(k) == name;
        if (!known) exeNames.append(name);
    }
    StatusDetailScope restoreDetail;
    setStatusDetail(StatusDetail::scanning, LauncherString());
    logEntry("Beginning exhaustive search");
    JvmFileWalker walker(*this, exeNames, files_.directory());
    const StringList drives = fixedDrives();
    for (std::int32_t i = 0; i < drives.count() && !cancelRequested(); ++i) {
        if (walker.walk(drives.get(i) + "\\")) break;
    }
    if (!found_) {
        logEntry("Processing unverified matches.\n");
        verifyUnverified(results);
    }
}

void JvmSearch::verifyUnverified(ObjectList<JvmMatch>& results) {
    for (std::int32_t g = 0; g < unverified_.count(); ++g) {
        UnverifiedHomes& group = *unverified_.get(g);
        for (std::int32_t h = 0; h < group.homes.count(); ++h) {
            if (cancelRequested()) return;
            std::unique_ptr<JvmMatch> match =
                group.jvmFile->checkHome(group.homes.get(h), verifyClassPath, verifyClassName);
            if (!match) continue;
            results.append(std::move(match));
            if (stopAtFirst_) return;
        }
    }
}

bool JvmSearch::fileFound(const LauncherString& path) {
    bool matched = false;
    for (std::int32_t i = 0; !found_ && i < jvmFiles_.count(); ++i) {
        JvmFile& jvm = *jvmFiles_.get(i);
        const LauncherString exe = jvm.exeName();
        if (!endsWithExeName(path, exe, false)) continue;
        const auto homeLength = path.length() - exe.length();
        const LauncherString home = path.substr(0, homeLength > 0 ? homeLength - 1 : 0);
        if (i == 0 && stopAtFirst_) {
            found_ = jvm.checkHome(home, verifyClassPath, verifyClassName);
            matched = found_ != nullptr;
        } else {
            recordUnverified(jvm, home);
        }
    }
    return matched;
}

void JvmSearch::recordUnverified(JvmFile& jvmFile, const LauncherString& home) {
    UnverifiedHomes* group = nullptr;
    for (std::int32_t g = 0; !group && g < unverified_.count(); ++g) {
        if (unverified_.get(g)->jvmFile == &jvmFile) group = unverified_.get(g);
    }
    if (!group) {
        group = unverified_.append(std::make_unique<UnverifiedHomes>());
        group->jvmFile = &jvmFile;
    }
    for (std::int32_t h = 0; h < group->homes.count(); ++h) {
        if (group->homes.get(h) == home) return;
    }
    group->homes.append(home);
}

}  // namespace nv
