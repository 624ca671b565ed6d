#include "launch/ReferenceScanner.h"

#include "launch/LaunchScriptError.h"

namespace nv {

namespace {

void collapseDoubled(LauncherString& text, char delimiter) {
    const char pair[] = {delimiter, delimiter, '\0'};
    for (LauncherString::size_type at = text.find(pair); at != LauncherString::npos; at = text.find(pair, at + 1)) {
        text.erase(at, 1);
    }
}

}  // namespace

// The numbers are spelled out: the texts stay one literal each.
void throwTooLong() {
    throwLaunchScriptError("The launch command grows past 1048576 characters while its references are replaced.");
}

void throwTooManyExpansions() {
    throwLaunchScriptError(
        "References in the launch command expand more than 10000 times; a value may refer to itself.");
}

LauncherString expandReferences(const LauncherString& text, char delimiter, DelimitedExpander& expander) {
    LauncherString result = text;
    try {
        unsigned expansions = 0;
        LauncherString::size_type position = 0;
        for (;;) {
            const LauncherString::size_type open = result.find(delimiter, position);
            if (open == LauncherString::npos || open + 2 >= result.length()) break;
            const LauncherString::size_type close = result.find(delimiter, open + 2);
            if (close == LauncherString::npos) break;
            if (++expansions > maxExpansions) throwTooManyExpansions();
            expander.expandReference(result, delimiter, open, close);
            if (result.length() > maxExpandedLength) throwTooLong();
            position = open;
        }
    } catch (LaunchScriptError& error) {
        if (!error.hasText()) error.setText(result);
        throw;
    }
    collapseDoubled(result, delimiter);
    return result;
}

}  // namespace nv
