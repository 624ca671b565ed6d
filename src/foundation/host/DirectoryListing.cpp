// The host stands in with opendir/readdir on the directory as hostPath reads it.
#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>

#include "foundation/DirectoryListing.h"
#include "foundation/LauncherException.h"
#include "foundation/ResourceText.h"
#include "foundation/UniqueHandle.h"
#include "foundation/host/HostPath.h"

namespace nv {

namespace {
void closeDirectory(DIR* dir) { closedir(dir); }
}  // namespace

struct DirectoryListing::State {
    UniqueHandle<DIR*, closeDirectory, nullHandle<DIR*>> dir;
    std::string path;
};

DirectoryListing::DirectoryListing(const LauncherString& directory) : state_(new State) {
    state_->path = directory.empty() ? std::string("./") : hostPath(directory);
    state_->dir.reset(opendir(state_->path.c_str()));
}

DirectoryListing::~DirectoryListing() = default;

bool DirectoryListing::isOpen() const { return state_->dir.valid(); }

bool DirectoryListing::next(DirectoryEntry& entry) {
    if (!isOpen()) return false;
    errno = 0;
    const dirent* d = readdir(state_->dir.get());
    if (!d) {
        if (errno != 0) throw LauncherException(systemErrorText(static_cast<unsigned long>(errno)));
        return false;
    }
    entry.name = d->d_name;
    struct stat info {};
    std::string full = state_->path;
    if (!full.empty() && full.back() != '/') full += '/';
    full += d->d_name;
    const bool known = stat(full.c_str(), &info) == 0;
    entry.isDirectory = known && S_ISDIR(info.st_mode);
    entry.size = known && !entry.isDirectory ? static_cast<std::uint64_t>(info.st_size) : 0;
    struct stat link {};
    entry.isReparsePoint = lstat(full.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    return true;
}

}  // namespace nv
