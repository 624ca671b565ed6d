#pragma once
// Text with \uXXXX escapes widened to UTF-16 code units.

#include <optional>
#include <string>

#include "foundation/LauncherString.h"

namespace nv {

// One code unit per byte of `text` (the byte's value, 0 to 255), except that
// each "\u" or "\U" followed by four bytes that read as hexadecimal (C "%x"
// rules) becomes one code unit with the number's low 16 bits. Returns no
// value when memory runs out.
std::optional<std::u16string> toWide(const LauncherString& text);

// The text with each run of escapes (read as toWide reads them) replaced by
// `convert` of its code units; the bytes outside escapes are kept as they
// are, since they already are text in the system's ANSI code page.
LauncherString convertEscapes(const LauncherString& text, LauncherString (*convert)(const std::u16string&));

}  // namespace nv
