#include "InstalledTree.h"

#include "JvmArchiveFormat.h"
#include "SystemError.h"

namespace nvjvm {

namespace {

std::string narrow(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    }
    return out;
}

}  // namespace

InstalledTree::InstalledTree(std::wstring root) : root_(std::move(root)) {}

InstalledTree::~InstalledTree() {
    if (complete_) return;
    file_.reset();
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
        const bool removed = it->directory ? RemoveDirectoryW(it->path.c_str()) : DeleteFileW(it->path.c_str());
        if (!removed) reportError("could not remove " + narrow(it->path));
    }
}

std::wstring InstalledTree::path(const std::string& name) const {
    const int size =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()), nullptr, 0);
    if (size <= 0) throw ArchiveError("the JVM archive holds a name that is not UTF-8: " + name);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()), &wide[0], size);
    return root_ + wide;
}

void InstalledTree::directory(const std::string& name) {
    const std::wstring target = path(name);
    if (CreateDirectoryW(target.c_str(), nullptr)) {
        created_.push_back({target, true});
        return;
    }
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // A link would carry the runtime's files out of the destination.
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            throw SystemError("the directory " + name + " is already there as a link; unpack into another directory");
        }
        return;  // kept as it was, and not removed on failure
    }
    throwSystemError("cannot create the directory " + name, error);
}

void InstalledTree::create(const std::string& name) {
    const std::wstring target = path(name);
    file_.reset(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) throwSystemError("cannot create the file " + name);
    created_.push_back({target, false});
    fileName_ = name;
}

void InstalledTree::write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD want = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
        DWORD written = 0;
        if (!WriteFile(file_.get(), bytes, want, &written, nullptr) || written == 0) {
            throwSystemError("cannot write the file " + fileName_);
        }
        bytes += written;
        size -= written;
    }
}

void InstalledTree::beginFile(const std::string& name, std::uint64_t) { create(name); }

void InstalledTree::fileData(const unsigned char* data, std::size_t size) { write(data, size); }

void InstalledTree::endFile() {
    // A close can be where a full disk shows.
    if (!CloseHandle(file_.release())) throwSystemError("cannot write the file " + fileName_);
}

void InstalledTree::jvmFile(const std::string& text) {
    create(jvmFileName);
    write(text.data(), text.size());
    endFile();
    complete_ = true;
}

}  // namespace nvjvm
