#pragma once
// A list of strings that stores copies; lookups out of range yield the
// shared empty string.

#include "foundation/LauncherString.h"
#include "foundation/ObjectList.h"

namespace nv {

class StringList {
public:
    std::int32_t count() const { return list_.count(); }
    std::int32_t capacity() const { return list_.capacity(); }
    bool empty() const { return list_.count() == 0; }

    void append(const LauncherString& s) { list_.append(std::make_unique<LauncherString>(s)); }
    // Inserts before index; negative appends; count or more is refused.
    void insert(std::int32_t index, const LauncherString& s) {
        list_.insert(index, std::make_unique<LauncherString>(s));
    }
    void removeAt(std::int32_t index) { list_.removeAt(index); }
    void clear() { list_.clear(); }

    // The string at index, or the shared empty string.
    const LauncherString& get(std::int32_t index) const {
        const LauncherString* s = list_.get(index);
        return s ? *s : LauncherString::emptyString();
    }
    const LauncherString& last() const { return get(count() - 1); }
    // Pops the last element into out; false when empty.
    bool takeLast(LauncherString& out) {
        if (count() == 0) return false;
        out = *list_.get(count() - 1);
        list_.removeAt(count() - 1);
        return true;
    }

private:
    ObjectList<LauncherString> list_;
};

}  // namespace nv
