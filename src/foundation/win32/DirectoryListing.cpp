// Directory enumeration through FindFirstFileA / FindNextFileA.
#include <windows.h>

#include "foundation/DirectoryListing.h"
#include "foundation/LauncherException.h"
#include "foundation/Messages.h"

namespace nv {

struct DirectoryListing::State {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA data{};
    // FindFirstFileA already delivered an entry that next() has not returned.
    bool pending = false;
};

DirectoryListing::DirectoryListing(const LauncherString& directory) : state_(new State) {
    LauncherString pattern = directory;
    pattern += '*';
    state_->find = FindFirstFileA(pattern.c_str(), &state_->data);
    state_->pending = state_->find != INVALID_HANDLE_VALUE;
}

DirectoryListing::~DirectoryListing() {
    if (state_->find != INVALID_HANDLE_VALUE) FindClose(state_->find);
}

bool DirectoryListing::isOpen() const { return state_->find != INVALID_HANDLE_VALUE; }

bool DirectoryListing::next(DirectoryEntry& entry) {
    if (!isOpen()) return false;
    if (!state_->pending) {
        if (!FindNextFileA(state_->find, &state_->data)) {
            DWORD error = GetLastError();
            if (error == ERROR_NO_MORE_FILES) return false;
            throw LauncherException(systemErrorText(error));
        }
    }
    state_->pending = false;
    entry.name = state_->data.cFileName;
    entry.isDirectory = (state_->data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

}  // namespace nv
