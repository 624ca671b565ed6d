#include "launcher/CommandLine.h"

#include "text/TextScanning.h"

namespace nv {

namespace {

// Reads one token from pos; leaves pos where the next token search starts.
// Backslash escapes apply to every token but the program name, whose
// backslashes are path separators.
LauncherString readToken(const LauncherString& line, LauncherString::size_type& pos, bool firstToken) {
    LauncherString token;
    const auto end = line.length();
    bool quoted = false;
    if (pos < end && line[pos] == '"') {
        quoted = true;
        ++pos;
    }
    while (pos < end) {
        char c = line[pos];
        if (!firstToken && c == '\\') {
            ++pos;
            if (pos >= end) break;  // a backslash at the very end is dropped
            char escaped = line[pos++];
            if (escaped != '"') token += '\\';
            token += escaped;
            continue;
        }
        if (quoted) {
            ++pos;
            if (c == '"') return token;
            token += c;
        } else if (isBlank(c)) {
            return token;
        } else if (c == '"') {
            token += readToken(line, pos, firstToken);
        } else {
            token += c;
            ++pos;
        }
    }
    return token;
}

}  // namespace

StringList splitNarrowCommandLine(const LauncherString& commandLine) {
    StringList arguments;
    LauncherString::size_type pos = 0;
    const auto end = commandLine.length();
    for (;;) {
        while (pos < end && isBlank(commandLine[pos])) ++pos;
        if (pos >= end) break;
        LauncherString token = readToken(commandLine, pos, arguments.empty());
        if (!token.empty()) arguments.append(token);
    }
    return arguments;
}

}  // namespace nv
