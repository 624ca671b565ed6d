#pragma once
// Owner of a C stream: fclose is called in one place, by the destructor.

#include <cstdio>

namespace nv {

class CFile {
public:
    // Opens `path` with the C library's `mode`; check isOpen().
    CFile(const char* path, const char* mode) : file_(std::fopen(path, mode)) {}
    ~CFile() { close(); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // The stream, or null when it did not open; still owned by this object.
    std::FILE* get() const { return file_; }
    // Closes now; false when the last buffered bytes could not be written.
    bool close() {
        bool ok = true;
        if (file_) ok = std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    std::FILE* file_;
};

}  // namespace nv
