#include "launch/LiteralText.h"

#include <cstring>

namespace nv {

namespace {

constexpr char literalStart = '\x01';
constexpr char literalEnd = '\x02';
// The delimiters of the three passes and the bytes that stand for them.
constexpr char delimiters[] = "%@#";
constexpr char standIns[] = "\x03\x04\x05";

}  // namespace

LauncherString literal(const LauncherString& value) {
    if (value.empty()) return value;
    LauncherString framed(1, literalStart);
    for (LauncherString::size_type i = 0; i < value.length(); ++i) {
        const char* delimiter = std::strchr(delimiters, value[i]);
        framed += delimiter && *delimiter ? standIns[delimiter - delimiters] : value[i];
    }
    framed += literalEnd;
    return framed;
}

LauncherString restoreLiterals(const LauncherString& text, RestoreFor use) {
    LauncherString restored;
    bool inside = false;
    LauncherString::size_type backslashes = 0;  // ending what is restored so far of a literal
    for (LauncherString::size_type i = 0; i < text.length(); ++i) {
        const char c = text[i];
        if (c == literalStart) {
            inside = true;
            backslashes = 0;
            continue;
        }
        if (c == literalEnd && inside) {
            inside = false;
            if (use == RestoreFor::commandLine && text[i + 1] == '"')
                restored.append(LauncherString(backslashes, '\\'));
            continue;
        }
        const char* standIn = inside && c != '\0' ? std::strchr(standIns, c) : nullptr;
        restored += standIn ? delimiters[standIn - standIns] : c;
        backslashes = c == '\\' ? backslashes + 1 : 0;
    }
    return restored;
}

}  // namespace nv
