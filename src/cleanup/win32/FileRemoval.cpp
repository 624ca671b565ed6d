// Removal through the file attributes, DeleteFileA and RemoveDirectoryA.
#include <windows.h>

#include "cleanup/FileRemoval.h"
#include "foundation/ResourceText.h"
#include "system/Wine.h"

namespace nv {

PathKind pathKind(const LauncherString& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::missing;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return PathKind::file;
    return attributes & FILE_ATTRIBUTE_REPARSE_POINT ? PathKind::link : PathKind::directory;
}

bool deleteOne(const LauncherString& path, Removal& removal) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const DWORD link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    const bool linkedDirectory = attributes != INVALID_FILE_ATTRIBUTES && (attributes & link) == link;
    const bool plainFile = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if ((linkedDirectory && runsUnderWine()) || (plainFile && isWineFileLink(path))) {
        // Wine removes the target instead of the link itself (an empty
        // directory, or a file with all it holds); the link would stay anyway.
        removal.failures.append(joinText({"Could not delete ", path, " :  a link is left in place on this system."}));
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    // A directory link is removed with RemoveDirectory, which takes the link
    // and leaves its target alone.
    const bool directory = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    const BOOL removed = directory ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
    if (removed) return true;
    const DWORD error = GetLastError();
    removal.failures.append(joinText({"Could not delete ", path, " :  ", systemErrorText(error)}));
    // Another program holding the file for a moment; anything else stays as it is.
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION) {
        removal.retryable = true;
    }
    return false;
}

}  // namespace nv
