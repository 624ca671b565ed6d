// Feeds arbitrary bytes to the narrow command-line splitter.
#include <cstdint>

#include "launcher/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nv::LauncherString line(reinterpret_cast<const char*>(data), static_cast<nv::LauncherString::size_type>(size));
    nv::StringList args = nv::splitNarrowCommandLine(line);
    for (std::int32_t i = 0; i < args.count(); ++i) {
        // Every argument is made of the line's bytes: never longer than it.
        if (args.get(i).length() > line.length()) __builtin_trap();
    }
    return 0;
}
