#include "foundation/Messages.h"

#include "foundation/ResourceText.h"

namespace nv {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Message code -> string resource identifier, from the MESSAGE rows.
#define NV_NOT_A_MESSAGE(id, name, text)
#define NV_MESSAGE_RESOURCE(id, name, code, text) id,
constexpr unsigned messageResources[] = {NV_STRING_TABLE(NV_NOT_A_MESSAGE, NV_MESSAGE_RESOURCE)};
#undef NV_MESSAGE_RESOURCE

// The codes number the MESSAGE rows in their order.
#define NV_CHECK_MESSAGE_CODE(id, name, code, text) \
    static_assert(messageResources[code] == id, "message code " #code " is not row " #code " of the messages");
NV_STRING_TABLE(NV_NOT_A_MESSAGE, NV_CHECK_MESSAGE_CODE)
#undef NV_CHECK_MESSAGE_CODE
#undef NV_NOT_A_MESSAGE
}  // namespace

LauncherString messageText(MessageCode code) {
    const auto index = static_cast<unsigned>(code);
    if (index >= sizeof messageResources / sizeof messageResources[0]) return LauncherString();
    return loadText(messageResources[index]);
}

LauncherException withContext(MessageCode code, const LauncherException& caught) {
    // A damaged file needs no context: fetching it again is all that helps.
    const LauncherString damaged = messageText(MessageCode::launcherFileDamaged);
    if (caught.message() == damaged) return caught;
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
