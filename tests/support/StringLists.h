#pragma once
// StringList to and from std::vector, so that tests compare lists with one EXPECT_EQ.

#include <string>
#include <vector>

#include "foundation/StringList.h"

namespace nv {

inline std::vector<std::string> texts(const StringList& list) {
    std::vector<std::string> out;
    for (std::int32_t i = 0; i < list.count(); ++i) out.push_back(list.get(i).str());
    return out;
}

inline StringList listOf(const std::vector<std::string>& items) {
    StringList list;
    for (const std::string& item : items) list.append(LauncherString(item));
    return list;
}

}  // namespace nv
