#pragma once
// Owner of a buffer that the system allocated with LocalAlloc.
#include <windows.h>

namespace nv {

template <class T>
class LocalMemory {
public:
    LocalMemory() = default;
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;
    ~LocalMemory() {
        if (p_) LocalFree(p_);
    }
    // For an out-parameter of the system call that allocates.
    T** receive() { return &p_; }
    T* get() const { return p_; }

private:
    T* p_ = nullptr;
};

}  // namespace nv
