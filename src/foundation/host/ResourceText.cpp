// The host build has no resources: it answers with the English table and
// formats inserts itself, so that portable code can be tested natively.
#include <cstring>

#include "foundation/ResourceText.h"

#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "resources/StringIds.h"

namespace nv {

namespace {
struct EnglishText {
    unsigned id;
    const char* text;
};
#define NV_ENGLISH_TEXT(id, name, text) {id, text},
#define NV_ENGLISH_MESSAGE(id, name, code, text) {id, text},
const EnglishText englishTexts[] = {NV_STRING_TABLE(NV_ENGLISH_TEXT, NV_ENGLISH_MESSAGE)};
#undef NV_ENGLISH_TEXT
#undef NV_ENGLISH_MESSAGE
}  // namespace

LauncherString loadText(unsigned id) {
    for (const EnglishText& english : englishTexts) {
        if (english.id == id) return LauncherString(english.text);
    }
    return LauncherString();
}

LauncherString formatText(const LauncherString& templ, const LauncherString& insert1, const LauncherString& insert2) {
    LauncherString out;
    for (LauncherString::size_type i = 0; i < templ.length(); ++i) {
        char c = templ[i];
        if (c == '%' && (templ[i + 1] == '1' || templ[i + 1] == '2')) {
            out.append(templ[i + 1] == '1' ? insert1 : insert2);
            i += 1;
            if (templ.compare(i + 1, 3, LauncherString("!s!")) == 0) i += 3;
        } else if (c == '%' && templ[i + 1] == '%') {
            out.append('%');
            i += 1;
        } else {
            out.append(c);
        }
    }
    return out;
}

LauncherString systemErrorText(unsigned long code) { return systemErrorText(code, LauncherString()); }

LauncherString systemErrorText(unsigned long code, const LauncherString& subject) {
    return fillSystemInserts(LauncherString(std::strerror(static_cast<int>(code))), subject);
}

}  // namespace nv
