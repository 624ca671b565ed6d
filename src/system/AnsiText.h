#pragma once
// Conversion of UTF-16 text to the system's ANSI code page.

#include <string>

#include "foundation/LauncherString.h"

namespace nv {

// The text in the ANSI code page; characters it lacks become its default character.
LauncherString toAnsiCodePage(const std::u16string& text);

}  // namespace nv
