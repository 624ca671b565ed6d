#pragma once
// The kinds of Win32 handle the launcher owns, one alias each.
#include <windows.h>

#include "foundation/UniqueHandle.h"

namespace nv {

namespace handle_close {
inline void kernelHandle(HANDLE h) { CloseHandle(h); }
inline void findHandle(HANDLE h) { FindClose(h); }
inline void registryKey(HKEY h) { RegCloseKey(h); }
inline void localMemory(HLOCAL h) { LocalFree(h); }
inline void mappedView(void* view) { UnmapViewOfFile(view); }
inline HANDLE invalidFile() { return INVALID_HANDLE_VALUE; }
}  // namespace handle_close

// CreateFile's handle (INVALID_HANDLE_VALUE when it failed).
using FileHandle = UniqueHandle<HANDLE, handle_close::kernelHandle, handle_close::invalidFile>;
// FindFirstFile's handle.
using FindHandle = UniqueHandle<HANDLE, handle_close::findHandle, handle_close::invalidFile>;
// Processes, threads, pipes, events, mappings: null when absent.
using KernelHandle = UniqueHandle<HANDLE, handle_close::kernelHandle, nullHandle<HANDLE>>;
// An opened registry key.
using RegistryKey = UniqueHandle<HKEY, handle_close::registryKey, nullHandle<HKEY>>;
// A buffer the system allocated with LocalAlloc (FormatMessage, CommandLineToArgvW).
using LocalMemory = UniqueHandle<HLOCAL, handle_close::localMemory, nullHandle<HLOCAL>>;
// A file mapping's view (MapViewOfFile).
using MappedView = UniqueHandle<void*, handle_close::mappedView, nullHandle<void*>>;

}  // namespace nv
