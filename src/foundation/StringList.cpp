#include "foundation/StringList.h"

namespace nv {

StringList::StringList(StringList&& other) noexcept = default;
StringList& StringList::operator=(StringList&& other) noexcept = default;
StringList::~StringList() = default;

void StringList::append(const LauncherString& s) { list_.append(std::make_unique<LauncherString>(s)); }

void StringList::insertInOrder(const LauncherString& s) {
    std::int32_t at = count();
    while (at > 0 && s < get(at - 1)) --at;
    insert(at == count() ? -1 : at, s);
}

void StringList::insert(std::int32_t index, const LauncherString& s) {
    list_.insert(index, std::make_unique<LauncherString>(s));
}

void StringList::removeAt(std::int32_t index) { list_.removeAt(index); }

void StringList::clear() { list_.clear(); }

const LauncherString& StringList::get(std::int32_t index) const {
    const LauncherString* s = list_.get(index);
    return s ? *s : LauncherString::emptyString();
}

bool StringList::takeLast(LauncherString& out) {
    if (count() == 0) return false;
    out = *list_.get(count() - 1);
    list_.removeAt(count() - 1);
    return true;
}

}  // namespace nv
