// The host build has no resources: it answers with the English table and
// formats inserts itself, so that portable code can be tested natively.
#include <cstring>

#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "resources/english.h"

namespace nv {

namespace {
const char* const englishTexts[] = {
    nullptr, NV_EN_1,  NV_EN_2,  NV_EN_3,  NV_EN_4,  NV_EN_5,  NV_EN_6,  NV_EN_7,  NV_EN_8,
    NV_EN_9, NV_EN_10, NV_EN_11, NV_EN_12, NV_EN_13, NV_EN_14, NV_EN_15, NV_EN_16, NV_EN_17,
    NV_EN_18, NV_EN_19, NV_EN_20, NV_EN_21, NV_EN_22, NV_EN_23, NV_EN_24, NV_EN_25, NV_EN_26,
    NV_EN_27, NV_EN_28, NV_EN_29, NV_EN_30, NV_EN_31, NV_EN_32, NV_EN_33, NV_EN_34, NV_EN_35,
    NV_EN_36};
}  // namespace

LauncherString loadText(unsigned id) {
    if (id == 0 || id >= sizeof englishTexts / sizeof englishTexts[0]) return LauncherString();
    return LauncherString(englishTexts[id]);
}

LauncherString formatText(const LauncherString& templ, const LauncherString& insert1,
                          const LauncherString& insert2) {
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

LauncherString systemErrorText(unsigned long code, const LauncherString& subject) {
    return fillSystemInserts(LauncherString(std::strerror(static_cast<int>(code))), subject);
}

}  // namespace nv
