#include "launch/ArgumentQuoting.h"

namespace nv {

LauncherString quoteArgument(const LauncherString& argument) {
    LauncherString out("\"");
    LauncherString::size_type backslashes = 0;
    for (LauncherString::size_type i = 0; i < argument.length(); ++i) {
        const char c = argument[i];
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(LauncherString(backslashes * 2 + 1, '\\'));
        } else {
            out.append(LauncherString(backslashes, '\\'));
        }
        backslashes = 0;
        out.append(c);
    }
    out.append(LauncherString(backslashes * 2, '\\'));
    out.append('"');
    return out;
}

void appendQuotedArguments(LauncherString& commandLine, const StringList& arguments) {
    for (std::int32_t i = 0; i < arguments.count(); ++i) {
        commandLine += ' ';
        commandLine += quoteArgument(arguments.get(i));
    }
}

}  // namespace nv
