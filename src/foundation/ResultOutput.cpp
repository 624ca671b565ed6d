#include "foundation/ResultOutput.h"

#include <cstdio>
#include <string>

namespace nv {

void writeResultLine(const LauncherString& text) {
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void writeResultNumber(std::int32_t number) { writeResultLine(LauncherString(std::to_string(number))); }

}  // namespace nv
