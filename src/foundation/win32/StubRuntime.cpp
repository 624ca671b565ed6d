// Pieces of the C++ runtime that launcher.exe defines for itself. This file is
// linked into launcher.exe alone (and into JvmUnpacker.exe, which travels in
// launcher files too), ahead of libstdc++, so the linker takes these
// definitions and leaves the library's own objects out.
//
// Why: the MinGW linker keeps every function that has unwind data in an object
// it pulls in (the unwind tables are always kept and refer to every function),
// so one small call can bring a whole library object along. Measured with
// bench/size_report.py, these two replacements keep about 130 KB out of the
// win32 stub: the demangler with MinGW's printf, and the copy-on-write string
// and std::random_device that the library's exception messages bring. The
// exception runtime's memory, the guards of local statics and each thread's
// exception state are the launcher's own too (the library's bring libgcc's
// threads layer and its emulated thread-local storage), and MinGW's
// pseudo-relocation code and _matherr stay out: 13 KB more.
//
// libstdc++ defines all of the std::__throw_* functions in one object: a new
// reference to one not defined here pulls that object in again and the link
// fails with "multiple definition"; then add the missing one here.
#include <bits/functexcept.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <functional>
#include <new>
#include <typeinfo>
#include <unwind.h>

namespace __gnu_cxx {

// The library's default handler names the uncaught exception's type, demangled,
// on standard error, which a windowed program does not have. It then aborts,
// and so does this one.
void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

namespace {

// Stands for std::logic_error, std::length_error, std::out_of_range and their
// kin, which the standard containers throw only on a programming error (an
// index past the end, a size past max_size). No handler in the launcher
// catches them by type: they end in a catch (...) or in std::terminate either
// way, so a lighter type behaves the same.
class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* message) noexcept : message_(message) {}
    // The library's message; for out-of-range errors its printf format, unformatted.
    const char* what() const noexcept override { return message_; }

private:
    const char* message_;
};

}  // namespace

// The one throw of a LibraryError. The std::__throw_* functions below that
// take just a message are this function under their own names (GCC's alias
// attribute), one function with one unwind entry; the others pass a message on.
extern "C" [[noreturn]] void nvThrowLibraryError(const char* message) { throw LibraryError(message); }

namespace std {

// These three have light types of their own and keep them: the launcher catches
// std::bad_alloc where an allocation may fail, and bad_array_new_length is one.
void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
// Only dynamic_cast and typeid throw these two, and the stub's code, built
// without run-time type information, uses neither; their own types would
// bring a library object each.
void __throw_bad_cast() { nvThrowLibraryError("bad_cast"); }
void __throw_bad_typeid() { nvThrowLibraryError("bad_typeid"); }

void __throw_logic_error(const char*) __attribute__((alias("nvThrowLibraryError")));
void __throw_domain_error(const char*) __attribute__((alias("nvThrowLibraryError")));
void __throw_invalid_argument(const char*) __attribute__((alias("nvThrowLibraryError")));
void __throw_length_error(const char*) __attribute__((alias("nvThrowLibraryError")));
void __throw_out_of_range(const char*) __attribute__((alias("nvThrowLibraryError")));
void __throw_out_of_range_fmt(const char* format, ...) { nvThrowLibraryError(format); }
void __throw_runtime_error(const char*) __attribute__((alias("nvThrowLibraryError")));
void __throw_range_error(const char*) __attribute__((alias("nvThrowLibraryError")));
void __throw_overflow_error(const char*) __attribute__((alias("nvThrowLibraryError")));
void __throw_underflow_error(const char*) __attribute__((alias("nvThrowLibraryError")));
// A call of an empty std::function, also a programming error.
void __throw_bad_function_call() { nvThrowLibraryError("bad_function_call"); }

}  // namespace std

// The library's operator new asks the new-handler for memory before it throws;
// the launcher installs none, so it throws at once, here too, without the
// handler's code.
void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) std::__throw_bad_alloc();
    return block;
}

// The memory of thrown exceptions. The library's allocator keeps an emergency
// pool for a full heap behind a lock from libgcc's threads layer; a handful of
// reserved blocks do that work for the launcher's small exception objects.
namespace {

// The header that the runtime keeps in front of every exception object
// (__cxa_refcounted_exception), as the C++ ABI lays it out; only its size
// matters here.
struct ExceptionHeader {
    int referenceCount;
    struct {
        std::type_info* exceptionType;
        void (*exceptionDestructor)(void*);
        void (*unexpectedHandler)();
        void (*terminateHandler)();
        void* nextException;
        int handlerCount;
        int handlerSwitchValue;
        const unsigned char* actionRecord;
        const unsigned char* languageSpecificData;
        _Unwind_Ptr catchTemp;
        void* adjustedPtr;
        _Unwind_Exception unwindHeader;
    } exception;
};
// What libstdc++'s own allocator adds on the two targets.
static_assert(sizeof(ExceptionHeader) == (sizeof(void*) == 4 ? 96 : 160), "exception header size");

// For a full heap: std::bad_alloc is still thrown then, from here (in .bss,
// as the stub's data has no section per variable).
constexpr std::size_t reserveBlockSize = 256;
constexpr int reserveBlocks = 4;
alignas(ExceptionHeader) char reserve[reserveBlocks][reserveBlockSize];
LONG reserveTaken[reserveBlocks];

}  // namespace

namespace __cxxabiv1 {

extern "C" void* __cxa_allocate_exception(std::size_t thrownSize) noexcept {
    const std::size_t size = sizeof(ExceptionHeader) + thrownSize;
    void* block = std::malloc(size);
    for (int i = 0; !block && size <= reserveBlockSize && i < reserveBlocks; ++i) {
        if (InterlockedExchange(&reserveTaken[i], 1) == 0) block = reserve[i];
    }
    if (!block) std::terminate();
    std::memset(block, 0, sizeof(ExceptionHeader));
    return static_cast<char*>(block) + sizeof(ExceptionHeader);
}

extern "C" void __cxa_free_exception(void* object) noexcept {
    char* block = static_cast<char*>(object) - sizeof(ExceptionHeader);
    if (block >= reserve[0] && block < reserve[reserveBlocks]) {
        InterlockedExchange(&reserveTaken[(block - reserve[0]) / reserveBlockSize], 0);
    } else {
        std::free(block);
    }
}

}  // namespace __cxxabiv1

// The guards of function-local statics. The library's ones wait on a lock
// from the threads layer of libgcc; these let one thread at a time run the
// initialisation and the others wait their turn. The guard's first byte tells
// a finished initialisation (the compiler tests it inline); its second word
// holds the thread that is running it.
namespace __cxxabiv1 {

extern "C" int __cxa_guard_acquire(__guard* guard) {
    volatile LONG* words = reinterpret_cast<volatile LONG*>(guard);
    const LONG self = static_cast<LONG>(GetCurrentThreadId());
    for (;;) {
        const LONG owner = InterlockedCompareExchange(&words[1], self, 0);
        if (owner == 0) break;
        // The same thread again: an initialisation that needs itself.
        if (owner == self) std::abort();
        Sleep(1);
    }
    if (words[0] == 0) return 1;
    InterlockedExchange(&words[1], 0);
    return 0;
}

extern "C" void __cxa_guard_release(__guard* guard) noexcept {
    volatile LONG* words = reinterpret_cast<volatile LONG*>(guard);
    InterlockedExchange(&words[0], 1);
    InterlockedExchange(&words[1], 0);
}

extern "C" void __cxa_guard_abort(__guard* guard) noexcept {
    InterlockedExchange(&reinterpret_cast<volatile LONG*>(guard)[1], 0);
}

}  // namespace __cxxabiv1

// Each thread's exception state: the exceptions it has caught and how many it
// has thrown that are not caught yet. The library keeps it in a thread-local
// variable, which MinGW emulates with libgcc's emutls object; here a
// thread-local storage slot holds it, and MinGW's runtime frees it when the
// thread ends, as it does for emutls.
struct __cxxabiv1::__cxa_eh_globals {
    void* caughtExceptions;
    unsigned int uncaughtExceptions;
};

// MinGW's runtime: calls dtor with the slot's value when a thread ends.
extern "C" int __mingwthr_key_dtor(unsigned long key, void (*dtor)(void*));

namespace {

DWORD exceptionStateSlot() {
    static const DWORD slot = [] {
        const DWORD made = TlsAlloc();
        if (made == TLS_OUT_OF_INDEXES || __mingwthr_key_dtor(made, std::free) != 0) std::abort();
        return made;
    }();
    return slot;
}

}  // namespace

namespace __cxxabiv1 {

extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept {
    // Catching and throwing leave the thread's last error as it was.
    const DWORD lastError = GetLastError();
    const DWORD slot = exceptionStateSlot();
    auto* state = static_cast<__cxa_eh_globals*>(TlsGetValue(slot));
    if (!state) {
        state = static_cast<__cxa_eh_globals*>(std::calloc(1, sizeof(__cxa_eh_globals)));
        if (!state || !TlsSetValue(slot, state)) std::abort();
    }
    SetLastError(lastError);
    return state;
}

// The same function under its second name.
extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept __attribute__((alias("__cxa_get_globals")));

}  // namespace __cxxabiv1

// MinGW's start-up code applies the runtime pseudo-relocations: fix-ups that
// the linker makes for data that a DLL exports and the code reaches without
// dllimport. The stub needs none (the linker's list of them is empty), so the
// code that would apply them, with its section lookup and error printing,
// stays out. Should one ever appear, the program stops at once rather than
// run with an address left unfixed.
extern "C" char __RUNTIME_PSEUDO_RELOC_LIST__;  // both defined by the linker
extern "C" char __RUNTIME_PSEUDO_RELOC_LIST_END__;
extern "C" void _pei386_runtime_relocator() {
    if (&__RUNTIME_PSEUDO_RELOC_LIST__ != &__RUNTIME_PSEUDO_RELOC_LIST_END__) std::abort();
}

// MinGW's start-up code installs its own _matherr, a report of math errors
// through fprintf, only when _MINGW_INSTALL_DEBUG_MATHERR is 1, and the stub
// leaves it at 0; defined here, the unused report and fprintf stay out. Zero
// keeps the math function's own result, as without a handler.
extern "C" int _matherr(struct _exception*) { return 0; }
