#include "jvm/HomeFacts.h"

#include <string>

#include "foundation/PeLayout.h"
#include "jvm/FileProbe.h"
#include "text/PathText.h"

namespace nv {

namespace {
// A release file is a few hundred bytes; the PE header lies within the first
// kilobytes of a program.
constexpr std::size_t releaseLimit = 16384;
constexpr std::size_t headerLimit = 4096;
}  // namespace

LauncherString releaseJavaVersion(const std::string& text) {
    static const char key[] = "JAVA_VERSION=";
    std::size_t line = 0;
    while (line < text.size()) {
        std::size_t end = text.find('\n', line);
        if (end == std::string::npos) end = text.size();
        if (text.compare(line, sizeof key - 1, key) == 0) {
            std::size_t from = line + sizeof key - 1;
            std::size_t to = end;
            if (to > from && text[to - 1] == '\r') --to;
            if (to > from + 1 && text[from] == '"' && text[to - 1] == '"') {
                ++from;
                --to;
            }
            return LauncherString(text.data() + from, static_cast<LauncherString::size_type>(to - from));
        }
        line = end + 1;
    }
    return LauncherString();
}

LauncherString releaseVersionOf(const LauncherString& home) {
    LauncherString release = home;
    ensureTrailingSeparator(release);
    std::string bytes;
    return readFileStart(release + "release", releaseLimit, bytes) ? releaseJavaVersion(bytes) : LauncherString();
}

HomeFacts readHomeFacts(const LauncherString& home, const LauncherString& executable) {
    HomeFacts facts;
    facts.version = releaseVersionOf(home);
    std::string bytes;
    if (readFileStart(executable, headerLimit, bytes)) {
        pe::MemoryBytes file(bytes);
        const pe::Headers headers(file);
        if (headers.isPe() && headers.magic() == pe::pe32Plus) facts.bits = 64;
        if (headers.isPe() && headers.magic() == pe::pe32) facts.bits = 32;
    }
    return facts;
}

}  // namespace nv
