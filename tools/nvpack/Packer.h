#pragma once
// Builds a launcher file: a stub executable followed by the embedded files,
// the file index, the mode byte and the trailer.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace nvpack {

// Bad input or a failed write; the message is complete.
struct PackError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct PackEntry {
    int type = -1;              // 0..7
    std::int64_t fileId = -1;   // fits in 32 bits
    std::string name;           // the embedded name
    std::string source;         // the file whose bytes are embedded
    bool compressed = false;
    std::int64_t decompressedFileCount = 0;
    std::int64_t decompressedSize = 0;
};

struct PackRequest {
    std::string stub;
    std::string output;
    int modeByte = 1;
    bool replacePayload = false;  // a stub that already carries one is refused otherwise
    std::vector<PackEntry> entries;
};

// Checks the whole request, then writes the output through a temporary file
// renamed into place, so a failure leaves no output behind. Throws PackError.
void pack(const PackRequest& request);

// Reads an integer written in decimal; throws PackError naming what.
std::int64_t parseNumber(const std::string& text, const char* what);

}  // namespace nvpack
