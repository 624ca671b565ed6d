#pragma once
// Tells the Windows 9x family from the NT family.

namespace nv {

// True when the system reports the Windows 9x platform (1). Asks with the
// extended version structure first and the basic one second; false when both fail.
bool isWindows9x();

// True on 64-bit Windows, where a 64-bit Java runs: this process is 64-bit,
// or a 32-bit one under WOW64.
bool is64BitWindows();

// The flag of the run state, set once at process start.
void setWindows9xFlag(bool on);
bool windows9xFlag();

}  // namespace nv
