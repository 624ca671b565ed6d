#include <windows.h>

#include "system/Clock.h"
#include "system/win32/KernelFunction.h"

namespace nv {

std::uint32_t tickCount() {
    // Looked up, not imported: one more import costs the stub 512 bytes.
    const auto read = kernelFunctionAs<DWORD(WINAPI*)()>("GetTickCount");
    return read ? read() : 0;
}

}  // namespace nv
