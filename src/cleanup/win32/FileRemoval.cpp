// Removal through the file attributes, DeleteFileA and RemoveDirectoryA.
#include <windows.h>

#include "cleanup/FileRemoval.h"
#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "system/Wine.h"

namespace nv {

PathKind pathKind(const LauncherString& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::missing;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return PathKind::file;
    return attributes & FILE_ATTRIBUTE_REPARSE_POINT ? PathKind::link : PathKind::directory;
}

bool deleteOne(const LauncherString& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const DWORD link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & link) == link && runsUnderWine()) {
        // Wine removes an empty target instead of the link itself; the link stays.
        logEntry(joinText({"Could not delete ", path, " :  a link is left in place on this system."}),
                 LogKind::warning);
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
    logEntry(joinText({"Could not delete ", path, " :  ", systemErrorText(GetLastError())}), LogKind::warning);
    return false;
}

}  // namespace nv
