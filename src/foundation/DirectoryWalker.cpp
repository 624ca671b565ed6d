#include "foundation/DirectoryWalker.h"

#include "foundation/DirectoryListing.h"
#include "foundation/ProgressUi.h"

namespace nv {

namespace {
constexpr std::uint32_t filesPerProgressStep = 100;
}  // namespace

bool DirectoryWalker::walk(const LauncherString& root) {
    pending_.clear();
    fileCount_ = 0;
    byteCount_ = 0;
    pending_.append(root);

    bool stop = false;
    LauncherString directory;
    while (!stop && !cancelled() && pending_.takeLast(directory)) {
        if (!directory.empty() && directory[directory.length() - 1] != '\\') directory += '\\';
        visitDirectory(directory);
        if (skipDirectory(directory)) continue;

        DirectoryListing listing(directory);
        DirectoryEntry entry;
        while (!stop && !cancelled() && listing.next(entry)) {
            if (entry.name == "." || entry.name == "..") continue;
            LauncherString path = directory + entry.name;
            if (entry.isDirectory && entry.isReparsePoint && !enterLinks_) {
                visitLink(path);
                continue;
            }
            if (entry.isDirectory) {
                pending_.append(path);
                continue;
            }
            byteCount_ += entry.size;
            stop = visitFile(path);
            if (++fileCount_ % filesPerProgressStep == 0) stepProgress(1);
        }
    }
    return stop;
}

bool DirectoryWalker::visitFile(const LauncherString&) { return false; }

void DirectoryWalker::visitDirectory(const LauncherString&) {}

bool DirectoryWalker::skipDirectory(const LauncherString&) { return false; }

void DirectoryWalker::visitLink(const LauncherString&) {}

bool DirectoryWalker::cancelled() const { return stopOnCancel_ && cancelRequested(); }

}  // namespace nv
