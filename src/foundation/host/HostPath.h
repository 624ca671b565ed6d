#pragma once
// How the host stand-ins read a Windows path: with "/" for "\" and without
// trailing separators (the root "/" stays).

#include <string>

#include "foundation/LauncherString.h"

namespace nv {

inline std::string hostPath(const LauncherString& path) {
    std::string out = path.str();
    for (char& c : out) {
        if (c == '\\') c = '/';
    }
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

}  // namespace nv
