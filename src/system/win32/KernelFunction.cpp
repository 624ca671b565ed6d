#include "system/win32/KernelFunction.h"

#include <windows.h>

namespace nv {

void* kernelFunction(const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name));
}

}  // namespace nv
