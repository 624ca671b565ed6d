#include "foundation/Messages.h"

namespace nv {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Message code -> string resource identifier.
constexpr unsigned messageResources[] = {8, 9, 10, 11, 12, 13, 14, 15, 16, 19, 21, 22, 23, 24, 29, 33, 34, 35, 36};
}  // namespace

LauncherString messageText(MessageCode code) {
    const auto index = static_cast<unsigned>(code);
    if (index >= sizeof messageResources / sizeof messageResources[0]) return LauncherString();
    return loadText(messageResources[index]);
}

LauncherException withContext(MessageCode code, const LauncherException& caught) {
    return LauncherException(messageText(code) + caught.message());
}

LauncherException callFailed(const char* call, unsigned long error) {
    return callFailed(call, error, LauncherString());
}

LauncherException callFailed(const char* call, unsigned long error, const LauncherString& subject) {
    return LauncherException(LauncherString(call) + " failed  ==>  " + systemErrorText(error, subject));
}

LauncherException systemFailure(const char* what, unsigned long error) {
    return LauncherException(LauncherString(what) + " ==> " + systemErrorText(error));
}

LauncherString systemErrorText(unsigned long code) { return systemErrorText(code, LauncherString()); }

LauncherString fillSystemInserts(const LauncherString& text, const LauncherString& subject) {
    LauncherString out;
    for (LauncherString::size_type i = 0; i < text.length(); ++i) {
        if (text[i] != '%' || text[i + 1] < '1' || text[i + 1] > '9') {
            out.append(text[i]);
            continue;
        }
        ++i;
        if (isDigit(text[i + 1])) ++i;
        if (text[i + 1] == '!') {
            const LauncherString::size_type close = text.find('!', i + 2);
            if (close != LauncherString::npos) i = close;
        }
        if (!subject.empty()) {
            out.append(subject);
        } else if (!out.empty() && out[out.length() - 1] == ' ') {
            out.erase(out.length() - 1, 1);
        } else if (text[i + 1] == ' ') {
            ++i;
        }
    }
    return out;
}

LauncherString formatResource(unsigned id, const LauncherString& insert1, const LauncherString& insert2) {
    return formatText(loadText(id), insert1, insert2);
}

LauncherString stripQuotes(const LauncherString& s) {
    LauncherString out = s;
    if (!out.empty() && out[0] == '"') out.erase(0, 1);
    if (!out.empty() && out[out.length() - 1] == '"') out.erase(out.length() - 1, 1);
    return out;
}

}  // namespace nv
