#pragma once
// What nvjvm needs to know of a Windows program's bytes: that they are one
// (a runtime's bin/java.exe, the unpacker) and whether they are the unpacker.
//
//   [DOS header: "MZ" ..., offset of the PE signature (4) at 0x3C]
//   [PE signature "PE\0\0"][file header: 20][optional header][section table: 40 per section]
//   file header:     NumberOfSections at 2, SizeOfOptionalHeader at 16
//   optional header: Magic (0x10B PE32, 0x20B PE32+), NumberOfRvaAndSizes at
//                    92 / 108, data directories (RVA 4, size 4) from 96 / 112;
//                    directory 2 is the resources
//   section header:  VirtualAddress at 12, SizeOfRawData at 16, PointerToRawData at 20
//   resources:       a directory per level (type, name, language): named
//                    entries 2 at 12, numbered entries 2 at 14, then 8 bytes
//                    per entry (name or number 4, target 4; high bit set: a
//                    name's or a subdirectory's offset), offsets counted from
//                    the first directory; a name is its length (2) and UTF-16
//                    text; the last target is a data entry: RVA 4, size 4

#include <string>

namespace nvjvm {

// Whether `bytes` begin as a Windows program: "MZ", and "PE\0\0" where the
// DOS header says the PE header is.
bool isWindowsProgram(const std::string& bytes);

// Whether the Windows program `bytes` carries the unpacker's mark
// (JvmArchiveFormat.h). False, never a throw, for bytes that are cut short or
// damaged anywhere along the way.
bool carriesUnpackerMark(const std::string& bytes);

}  // namespace nvjvm
