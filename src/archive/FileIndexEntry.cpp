#include "archive/FileIndexEntry.h"

#include "tagfile/TagFile.h"

namespace nv {

FileIndexEntry::FileIndexEntry() = default;
FileIndexEntry::~FileIndexEntry() = default;
FileIndexEntry::FileIndexEntry(FileIndexEntry&&) noexcept = default;
FileIndexEntry& FileIndexEntry::operator=(FileIndexEntry&&) noexcept = default;

}  // namespace nv
