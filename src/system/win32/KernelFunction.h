#pragma once
// kernel32 functions that older Windows lacks (jobs before Windows 2000,
// handle lists and stack guarantees before Vista), looked up at run time so
// that the launcher still loads there; and ones the stub uses once, where an
// import would cost more than the look-up (GetTickCount).

namespace nv {

// The address of kernel32's function `name`; null where this system has none.
void* kernelFunction(const char* name);

// The same as a pointer of the function's type.
template <class Function>
Function kernelFunctionAs(const char* name) {
    return reinterpret_cast<Function>(kernelFunction(name));
}

}  // namespace nv
