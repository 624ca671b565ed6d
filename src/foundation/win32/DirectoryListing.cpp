// Directory enumeration through FindFirstFileA / FindNextFileA.
#include <windows.h>

#include "foundation/DirectoryListing.h"
#include "foundation/LauncherException.h"
#include "foundation/ResourceText.h"
#include "foundation/win32/Handles.h"

namespace nv {

struct DirectoryListing::State {
    FindHandle find;
    WIN32_FIND_DATAA data{};
    // FindFirstFileA already delivered an entry that next() has not returned.
    bool pending = false;
};

DirectoryListing::DirectoryListing(const LauncherString& directory) : state_(new State) {
    LauncherString pattern = directory;
    pattern += '*';
    state_->find.reset(FindFirstFileA(pattern.c_str(), &state_->data));
    state_->pending = state_->find.valid();
}

DirectoryListing::~DirectoryListing() = default;

bool DirectoryListing::isOpen() const { return state_->find.valid(); }

bool DirectoryListing::next(DirectoryEntry& entry) {
    if (!isOpen()) return false;
    if (!state_->pending) {
        if (!FindNextFileA(state_->find.get(), &state_->data)) {
            DWORD error = GetLastError();
            if (error == ERROR_NO_MORE_FILES) return false;
            throwLauncherException(systemErrorText(error));
        }
    }
    state_->pending = false;
    entry.name = state_->data.cFileName;
    entry.isDirectory = (state_->data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.isReparsePoint = (state_->data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.size = static_cast<std::uint64_t>(state_->data.nFileSizeHigh) << 32 | state_->data.nFileSizeLow;
    return true;
}

}  // namespace nv
