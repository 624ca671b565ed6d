#pragma once
// What a launch needs of the JVM file it runs with: its tags, and its values
// for @NAME@ references. The JVM file implements it.

#include "launch/DelimitedExpander.h"
#include "launch/LiteralText.h"

namespace nv {

class TagFile;

class JvmVariables : public DelimitedExpander {
public:
    // The JVM file's tags; they belong to whoever loaded the file.
    virtual TagFile& tags() const = 0;
    // The first value of the tag `name`, empty when it is missing; for
    // JVM_HOME one final "\" is removed.
    virtual LauncherString lookupVariable(const LauncherString& name) const = 0;

    // Replaces @NAME@ (delimiters included) by lookupVariable(NAME); the
    // values the launcher sets itself (the Java home, the JVM file written
    // for it, the temporary flag) as literals.
    void expandReference(LauncherString& text, char delimiter, LauncherString::size_type open,
                         LauncherString::size_type close) override {
        (void)delimiter;
        const LauncherString name = text.substr(open + 1, close - open - 1);
        const LauncherString value = lookupVariable(name);
        const bool launcherSet = name == "JVM_HOME" || name == "JVM_FILE" || name == "JVM_TEMP";
        text.replace(open, close - open + 1, launcherSet ? literal(value) : value);
    }
};

}  // namespace nv
