#include "launch/FunctionCall.h"

#include "launch/DelimitedExpander.h"
#include "launch/LaunchScriptError.h"
#include "launch/ReferenceScanner.h"
#include "tagfile/NumberText.h"
#include "tagfile/TextScanning.h"

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

// The functions with the argument counts they take; -1 for no bound.
struct FunctionRule {
    const char* name;
    std::int32_t least;
    std::int32_t most;
    const char* message;
};

const FunctionRule functionRules[] = {
    {"REPLACE", 3, 3, "REPLACE function requires 3 arguments."},
    {"RUNTIME_SYSTEMPROP", 0, 0, "RUNTIME_SYSTEMPROP function takes no arguments."},
    {"RUNTIME_JAVAARGS", 0, 0, "RUNTIME_JAVAARGS function takes no arguments."},
    {"SYSTEMPROP", 2, 2, "SYSTEMPROP function requires 2 arguments."},
    {"CP", 0, -1, ""},
    {"IF_EXISTS", 2, 2, "IF_EXISTS function requires 2 arguments."},
    {"LAUNCHER_FILE", 0, 0, "LAUNCHER_FILE function takes 0 arguments."},
    {"LAUNCHER_DIR", 0, 0, "LAUNCHER_DIR function takes 0 arguments."},
    {"APPLICATION_ARCHIVE", 0, 1, "APPLICATION_ARCHIVE function takes 0 arguments."},
    {"TEMP_DIR", 0, 0, "TEMP_DIR function takes 0 arguments."},
};

const FunctionRule* findRule(const LauncherString& name) {
    for (const FunctionRule& rule : functionRules) {
        if (name == rule.name) return &rule;
    }
    return nullptr;
}

// Replaces each reference by nothing once its name and arguments pass.
class ReferenceChecker : public DelimitedExpander {
public:
    void expandReference(LauncherString& text, char, size_type open, size_type close) override {
        const LauncherString name = text.substr(open + 1, close - open - 1);
        if (!isFunctionName(name)) throwLaunchScriptError(joinText({"Invalid function name (", name, ")."}));
        const FunctionCall call = readFunctionCall(text, close + 1);
        checkArgumentCount(name, call.arguments.count());
        text.replace(open, call.end - open, LauncherString());
    }
};

}  // namespace

bool isFunctionName(const LauncherString& name) { return findRule(name) != nullptr; }

void checkArgumentCount(const LauncherString& name, std::int32_t count) {
    const FunctionRule* rule = findRule(name);
    if (!rule) throwLaunchScriptError(joinText({"Invalid function name (", name, ")."}));
    if (count < rule->least || (rule->most >= 0 && count > rule->most)) throwLaunchScriptError(rule->message);
}

void checkFunctionReferences(const LauncherString& text) {
    ReferenceChecker checker;
    expandReferences(text, '%', checker);
}

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

}  // namespace nv
