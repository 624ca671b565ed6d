#pragma once
// A list of strings that stores copies; lookups out of range yield the
// shared empty string.

#include "foundation/LauncherString.h"
#include "foundation/ObjectList.h"

namespace nv {

class StringList {
public:
    StringList() = default;
    StringList(StringList&& other) noexcept;
    StringList& operator=(StringList&& other) noexcept;
    ~StringList();

    std::int32_t count() const { return list_.count(); }
    bool empty() const { return list_.count() == 0; }

    // The changing members and get are out of line (StringList.cpp), so that
    // the list's vector code exists once rather than in every caller.
    void append(const LauncherString& s);
    // Inserts before index; negative appends; count or more is refused.
    void insert(std::int32_t index, const LauncherString& s);
    // Inserts after the strings that sort before or equal to it (byte order),
    // so that a list built only this way stays sorted.
    void insertInOrder(const LauncherString& s);
    void removeAt(std::int32_t index);
    void clear();

    // The string at index, or the shared empty string.
    const LauncherString& get(std::int32_t index) const;
    const LauncherString& last() const { return get(count() - 1); }
    // Pops the last element into out; false when empty.
    bool takeLast(LauncherString& out);

private:
    ObjectList<LauncherString> list_;
};

}  // namespace nv
