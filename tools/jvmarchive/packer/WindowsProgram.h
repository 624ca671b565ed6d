#pragma once
// What nvjvm needs to know of a Windows program's bytes: that they are one
// (a runtime's bin/java.exe, the unpacker) and whether they are the unpacker.
// The PE headers are read with foundation/PeLayout.h; then
//
//   resources:       a directory per level (type, name, language): named
//                    entries 2 at 12, numbered entries 2 at 14, then 8 bytes
//                    per entry (name or number 4, target 4; high bit set: a
//                    name's or a subdirectory's offset), offsets counted from
//                    the first directory; a name is its length (2) and UTF-16
//                    text; the last target is a data entry: RVA 4, size 4

#include <string>

namespace nvjvm {

// Whether `bytes` begin as a Windows program: "MZ", and "PE\0\0" with the
// file header where the DOS header says the PE header is.
bool isWindowsProgram(const std::string& bytes);

// Whether the Windows program `bytes` carries the unpacker's mark
// (JvmArchiveFormat.h). False, never a throw, for bytes that are cut short or
// damaged anywhere along the way.
bool carriesUnpackerMark(const std::string& bytes);

}  // namespace nvjvm
