#pragma once
// Something that can replace one delimited reference in a text: the launch
// script for %NAME%(...) and #NAME#, the JVM file for @NAME@.

#include "foundation/LauncherString.h"

namespace nv {

class DelimitedExpander {
public:
    virtual ~DelimitedExpander() = default;
    // Replaces the reference whose opening delimiter is at `open` and whose
    // closing one is at `close` (for a function, with its argument list) by
    // its result, in place. Throws LauncherException for a faulty reference.
    virtual void expandReference(LauncherString& text, char delimiter, LauncherString::size_type open,
                                 LauncherString::size_type close) = 0;
};

}  // namespace nv
