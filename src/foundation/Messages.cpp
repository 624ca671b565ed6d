#include "foundation/Messages.h"

namespace nv {

namespace {
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
    return LauncherException(LauncherString(call) + " failed  ==>  " + systemErrorText(error));
}

LauncherException systemFailure(const char* what, unsigned long error) {
    return LauncherException(LauncherString(what) + " ==> " + systemErrorText(error));
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
