#include "JvmArchiveFormat.h"

#include <cstring>

#include "foundation/AsciiCase.h"
#include "foundation/FileName.h"

namespace nvjvm {

namespace {

const char* partProblem(std::string_view part) {
    switch (nv::fileNameProblem(part.data(), part.size())) {
    case nv::FileNameProblem::none:
        return nullptr;
    case nv::FileNameProblem::empty:
        return "has an empty part (a rooted name or a doubled \\)";
    case nv::FileNameProblem::onlyDotsAndBlanks:
        // Of the others ("...", " "), Windows drops the trailing dots and blanks.
        return part == "." || part == ".." ? "has a part . or .., which leads elsewhere"
                                           : "has a part ending in a dot or blank";
    case nv::FileNameProblem::path:  // "\" separates the parts and never reaches here
        return "holds / or :, which lead elsewhere";
    case nv::FileNameProblem::reservedCharacter:
        return "holds one of <>\"|?*";
    case nv::FileNameProblem::controlCharacter:
        return "holds a control character";
    case nv::FileNameProblem::trailingDotOrBlank:
        return "has a part ending in a dot or blank";
    case nv::FileNameProblem::deviceName:
        return "names a device (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9, LPT1-9)";
    case nv::FileNameProblem::tooLong:
        return "has a part longer than 255 bytes";
    }
    return nullptr;
}

}  // namespace

const char* nameProblem(std::string_view name) {
    if (name.empty()) return "is empty";
    if (name.size() > longestName) return "is too long";
    if (nv::equalIgnoringAsciiCase(name.substr(0, name.find('\\')), jvmFileName)) {
        return "starts with jvm, the JVM file's own name at the top";
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = name.find('\\', start);
        if (const char* problem = partProblem(name.substr(start, end == std::string_view::npos ? end : end - start))) {
            return problem;
        }
        if (end == std::string_view::npos) return nullptr;
        start = end + 1;
    }
}

void appendNumber(std::string& out, std::uint64_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::uint64_t readNumber(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
    return value;
}

std::string encodeTrailer(const Trailer& trailer) {
    std::string out;
    appendNumber(out, trailer.dataOffset, 8);
    appendNumber(out, trailer.dataLength, 8);
    appendNumber(out, trailer.expandedSize, 8);
    out.append(magic, magicSize);
    return out;
}

const char* decodeTrailer(const unsigned char* bytes, std::uint64_t fileSize, Trailer& trailer) {
    if (fileSize < trailerSize || std::memcmp(bytes + 24, magic, magicSize) != 0) {
        return "carries no JVM archive (no trailer at its end)";
    }
    Trailer read;
    read.dataOffset = readNumber(bytes, 8);
    read.dataLength = readNumber(bytes + 8, 8);
    read.expandedSize = readNumber(bytes + 16, 8);
    // Compared without a sum that could overflow.
    const std::uint64_t before = fileSize - trailerSize;
    if (read.dataOffset == 0 || read.dataOffset > before || read.dataLength != before - read.dataOffset) {
        return "has a damaged trailer (its data does not end where the trailer begins)";
    }
    trailer = read;
    return nullptr;
}

}  // namespace nvjvm
