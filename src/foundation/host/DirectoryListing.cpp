// The host stands in with opendir/readdir; "\" in the directory is read as "/".
#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>

#include "foundation/DirectoryListing.h"
#include "foundation/LauncherException.h"
#include "foundation/Messages.h"

namespace nv {

struct DirectoryListing::State {
    DIR* dir = nullptr;
    std::string path;
};

DirectoryListing::DirectoryListing(const LauncherString& directory) : state_(new State) {
    state_->path = directory.empty() ? std::string("./") : directory.str();
    for (char& c : state_->path) {
        if (c == '\\') c = '/';
    }
    state_->dir = opendir(state_->path.c_str());
}

DirectoryListing::~DirectoryListing() {
    if (state_->dir) closedir(state_->dir);
}

bool DirectoryListing::isOpen() const { return state_->dir != nullptr; }

bool DirectoryListing::next(DirectoryEntry& entry) {
    if (!isOpen()) return false;
    errno = 0;
    const dirent* d = readdir(state_->dir);
    if (!d) {
        if (errno != 0) throw LauncherException(systemErrorText(static_cast<unsigned long>(errno)));
        return false;
    }
    entry.name = d->d_name;
    struct stat info {};
    std::string full = state_->path;
    if (!full.empty() && full.back() != '/') full += '/';
    full += d->d_name;
    entry.isDirectory = stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    return true;
}

}  // namespace nv
