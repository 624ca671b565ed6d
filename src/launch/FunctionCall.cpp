#include "launch/FunctionCall.h"

#include "launch/LaunchScriptError.h"
#include "text/NumberText.h"
#include "text/TextScanning.h"

namespace nv {

namespace {

using size_type = LauncherString::size_type;

size_type skipBlanks(const LauncherString& text, size_type at) {
    while (at < text.length() && isBlank(text[at])) ++at;
    return at;
}

[[noreturn]] void fail(const char* what, size_type near) {
    throwLaunchScriptError(joinText({what, " (near character ", formatLong(static_cast<std::int32_t>(near)), ")"}));
}

}  // namespace

FunctionCall readFunctionCall(const LauncherString& text, size_type from) {
    FunctionCall call;
    size_type at = skipBlanks(text, from);
    if (at >= text.length() || text[at] != '(') fail("Expected left parenthesis.", from);
    ++at;
    for (;;) {
        const size_type argumentStep = at;
        at = skipBlanks(text, at);
        if (at < text.length() && text[at] == ')') break;
        if (at >= text.length() || text[at] != '"') fail("Expected string arg.", argumentStep);
        ++at;
        call.arguments.append(readArgument(text, at, true));
        // An argument whose quote closed the text leaves nothing for the ")".
        if (at == LauncherString::npos) fail("Expected right parenthesis.", text.length());
        const size_type separatorStep = at;
        at = skipBlanks(text, at);
        if (at < text.length() && text[at] == ',') {
            ++at;
            continue;
        }
        if (at < text.length() && text[at] == ')') break;
        fail("Expected right parenthesis.", separatorStep);
    }
    call.end = at + 1;
    return call;
}

void refuseClassPathReference(const LauncherString& text) {
    if (text.find("%CP%") != LauncherString::npos) throwLaunchScriptError(classPathInsideClassPath);
}

}  // namespace nv
