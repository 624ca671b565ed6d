#pragma once
// The one owner of a system handle: a handle value, its close function and
// the value that means "no handle". Every kind of handle gets an alias line
// (see foundation/win32/Handles.h); closing happens in one place, here.

#include <utility>

namespace nv {

// Owns at most one handle of type H. Close is called exactly once for a
// handle that is not Invalid(), when the owner is reset or destroyed.
template <class H, void (*Close)(H), H (*Invalid)()>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    // True when a handle is held.
    bool valid() const { return handle_ != Invalid(); }
    explicit operator bool() const { return valid(); }
    H get() const { return handle_; }

    // Closes the held handle, then holds `handle`.
    void reset(H handle = Invalid()) {
        H old = handle_;
        handle_ = handle;
        if (old != Invalid()) Close(old);
    }
    // Gives up ownership without closing.
    H release() { return std::exchange(handle_, Invalid()); }
    // Closes the held handle and returns the slot for a call that returns a
    // new handle through an out-parameter.
    H* receive() {
        reset();
        return &handle_;
    }

private:
    H handle_ = Invalid();
};

// The invalid value of handle kinds whose "no handle" is null.
template <class H>
constexpr H nullHandle() {
    return nullptr;
}

}  // namespace nv
