// The carried JVM's program: run without arguments in a directory, it lays
// out there the Java home appended to its own file and then writes the JVM
// file "jvm" at the top. On any failure it removes what it wrote, since a
// half tree is worse than none; the launcher then finds no jvm file.
//
// Exit codes: 0 done; 1 the archive is damaged or holds a refused name;
// 2 the files could not be written (a full disk, a file already there) or
// the program's own file could not be read. A failure also writes one line
// "jvm unpacker: ..." on standard error.
#include <windows.h>

#include <exception>
#include <new>
#include <string>
#include <vector>

#include "InstalledTree.h"
#include "JvmArchiveFormat.h"
#include "OwnArchive.h"
#include "SystemError.h"

namespace {

// The current directory as a root for names, with "\\?\" so that deep
// runtime folders are not cut at MAX_PATH, and a trailing "\".
std::wstring destination() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size()) nvjvm::throwSystemError("cannot read the current directory");
    std::wstring root(buffer.data(), length);
    if (root.back() != L'\\') root += L'\\';
    if (root.compare(0, 2, L"\\\\") == 0) return root;  // already \\?\ or a share
    return L"\\\\?\\" + root;
}

void checkRoom(const std::wstring& root, std::uint64_t needed) {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr)) return;  // let the writes tell
    if (available.QuadPart < needed) {
        throw nvjvm::SystemError("not enough free space: the Java runtime needs " + std::to_string(needed) +
                                 " bytes, the disk has " + std::to_string(available.QuadPart));
    }
}

void unpack() {
    nvjvm::OwnArchive archive;
    const std::wstring root = destination();
    if (GetFileAttributesW((root + L"jvm").c_str()) != INVALID_FILE_ATTRIBUTES) {
        throw nvjvm::SystemError("a file or directory named jvm is already there; unpack into another directory");
    }
    checkRoom(root, archive.expandedSize());
    nvjvm::InstalledTree tree(root);
    nvjvm::readJvmArchive(archive, archive.expandedSize(), tree);
}

int fail(const char* message, int code) {
    nvjvm::reportError(message);
    return code;
}

}  // namespace

int main() {
    try {
        unpack();
        return 0;
    } catch (const nvjvm::ArchiveError& e) {
        return fail(e.what(), 1);
    } catch (const nvjvm::SystemError& e) {
        return fail(e.what(), 2);
    } catch (const std::bad_alloc&) {
        return fail("out of memory", 2);
    } catch (const std::exception& e) {
        // A library error: still caught here, so that the written tree is removed.
        return fail(e.what(), 2);
    }
}
