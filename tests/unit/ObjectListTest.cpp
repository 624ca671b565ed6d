#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/ObjectList.h"

namespace {

// Counts its destructions so that ownership can be seen.
struct Tracked {
    Tracked(std::string n, int& d) : name(std::move(n)), destroyed(d) {}
    ~Tracked() { ++destroyed; }
    std::string name;
    int& destroyed;
};

class ObjectListTest : public ::testing::Test {
protected:
    std::unique_ptr<Tracked> make(const char* name) { return std::make_unique<Tracked>(name, destroyed); }
    std::string names(const nv::ObjectList<Tracked>& list) {
        std::string out;
        for (std::int32_t i = 0; i < list.count(); ++i) out += list.get(i)->name;
        return out;
    }
    int destroyed = 0;
};

TEST_F(ObjectListTest, GetOutOfRangeYieldsNull) {
    nv::ObjectList<Tracked> list;
    EXPECT_EQ(list.get(0), nullptr);
    list.append(make("a"));
    list.append(make("b"));
    EXPECT_EQ(list.get(1)->name, "b");
    for (std::int32_t index : {-1, 2, 1000}) EXPECT_EQ(list.get(index), nullptr) << index;
}

TEST_F(ObjectListTest, InsertBeforeIndexAppendsForNegativeRefusesAtCount) {
    struct Case {
        std::int32_t index;
        const char* expected;
    };
    const Case cases[] = {{0, "xabc"}, {2, "abxc"}, {-1, "abcx"}, {3, "abc"}, {4, "abc"}};
    for (const Case& c : cases) {
        nv::ObjectList<Tracked> list;
        for (const char* name : {"a", "b", "c"}) list.append(make(name));
        Tracked* stored = list.insert(c.index, make("x"));
        EXPECT_EQ(names(list), c.expected) << c.index;
        EXPECT_EQ(stored != nullptr, names(list).size() == 4) << c.index;
    }
    nv::ObjectList<Tracked> empty;
    EXPECT_EQ(empty.insert(0, make("x")), nullptr);
    EXPECT_EQ(empty.count(), 0);
}

TEST_F(ObjectListTest, OwnsItsElements) {
    {
        nv::ObjectList<Tracked> list;
        for (const char* name : {"a", "b", "c", "d"}) list.append(make(name));
        list.insert(9, make("refused"));
        EXPECT_EQ(destroyed, 1);
        list.removeAt(1);
        EXPECT_EQ(destroyed, 2);
        EXPECT_EQ(names(list), "acd");
        list.removeAt(-1);
        list.removeAt(3);
        EXPECT_EQ(destroyed, 2);
        nv::ObjectList<Tracked> moved(std::move(list));
        EXPECT_EQ(names(moved), "acd");
        EXPECT_EQ(destroyed, 2);
    }
    EXPECT_EQ(destroyed, 5);
    nv::ObjectList<Tracked> list;
    list.append(make("a"));
    list.clear();
    EXPECT_EQ(destroyed, 6);
    EXPECT_EQ(list.count(), 0);
}

}  // namespace
