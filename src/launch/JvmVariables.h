#pragma once
// What a launch needs of the JVM file it runs with: its tags, and its values
// for @NAME@ references. The JVM file implements it.

#include "launch/DelimitedExpander.h"
#include "launch/LiteralText.h"

namespace nv {

class TagFile;

// The tags the launcher sets in a JVM file itself: the Java home, the JVM
// file written for it, the temporary flag. The launch reads their values as
// literals; nvpack knows them defined without a JVM file that names them.
inline constexpr const char* launcherSetTags[] = {"JVM_HOME", "JVM_FILE", "JVM_TEMP"};

inline bool isLauncherSetTag(const LauncherString& name) {
    for (const char* tag : launcherSetTags) {
        if (name == tag) return true;
    }
    return false;
}

class JvmVariables : public DelimitedExpander {
public:
    // The JVM file's tags; they belong to whoever loaded the file.
    virtual TagFile& tags() const = 0;
    // The first value of the tag `name`, empty when it is missing; for
    // JVM_HOME one final "\" is removed.
    virtual LauncherString lookupVariable(const LauncherString& name) const = 0;

    // Replaces @NAME@ (delimiters included) by lookupVariable(NAME); the
    // values of launcherSetTags as literals.
    void expandReference(LauncherString& text, char delimiter, LauncherString::size_type open,
                         LauncherString::size_type close) override {
        (void)delimiter;
        const LauncherString name = text.substr(open + 1, close - open - 1);
        const LauncherString value = lookupVariable(name);
        text.replace(open, close - open + 1, isLauncherSetTag(name) ? literal(value) : value);
    }
};

}  // namespace nv
