#pragma once
// What a launch needs of the JVM file it runs with: its tags, and its values
// for @NAME@ references. The JVM file implements it.

#include "launch/DelimitedExpander.h"

namespace nv {

class TagFile;

class JvmVariables : public DelimitedExpander {
public:
    // The JVM file's tags; they belong to whoever loaded the file.
    virtual TagFile& tags() const = 0;
    // The first value of the tag `name`, empty when it is missing; for
    // JVM_HOME one final "\" is removed.
    virtual LauncherString lookupVariable(const LauncherString& name) const = 0;

    // Replaces @NAME@ (delimiters included) by lookupVariable(NAME).
    void expandReference(LauncherString& text, char delimiter, LauncherString::size_type open,
                         LauncherString::size_type close) override {
        (void)delimiter;
        text.replace(open, close - open + 1, lookupVariable(text.substr(open + 1, close - open - 1)));
    }
};

}  // namespace nv
