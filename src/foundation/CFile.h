#pragma once
// A C stream under the one handle owner: fclose is called in one place.

#include <cstdio>

#include "foundation/UniqueHandle.h"

namespace nv {

namespace handle_close {
inline void stream(std::FILE* f) { std::fclose(f); }
}  // namespace handle_close

using CFile = UniqueHandle<std::FILE*, handle_close::stream, nullHandle<std::FILE*>>;

// Opens `path` with the C library's `mode`; the result is not valid() when it did not open.
inline CFile openFile(const char* path, const char* mode) { return CFile(std::fopen(path, mode)); }

// Closes the stream now; false when the last buffered bytes could not be written.
inline bool closeFile(CFile& file) {
    std::FILE* stream = file.release();
    return !stream || std::fclose(stream) == 0;
}

}  // namespace nv
