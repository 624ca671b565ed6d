#pragma once
// Names that Windows opens as a device instead of a file.

#include <cstddef>

namespace nv {

// True for CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-COM9 and LPT1-LPT9
// (also with the superscript digits 1, 2 and 3, in the ANSI code page or in
// UTF-8) in any case, with or without an extension and with blanks before
// the dot: Windows opens the device whatever follows.
bool isDeviceName(const char* name, std::size_t length);

}  // namespace nv
