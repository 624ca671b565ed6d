#include "instructions/Substitution.h"

#include <cstring>
#include <utility>

#include "foundation/AsciiCase.h"
#include "foundation/LauncherException.h"
#include "instructions/InstructionsException.h"
#include "instructions/VariableReference.h"
#include "instructions/VariableStore.h"
#include "tagfile/NumberText.h"
#include "tagfile/TextScanning.h"

namespace nv {

namespace {

using size_type = LauncherString::size_type;

// Whether the name at `name`, up to the next at-sign, reads as a variable
// reference: VariableReference::parse's rules (N or S in either case, then a
// number read as readLong reads it) without its messages. It runs for every
// literal at-sign, so it neither throws nor copies. The at-sign after the
// name ends every read, a name of one byte too.
bool isReference(const char* name) {
    const char kind = upperAscii(name[0]);
    if (kind != 'N' && kind != 'S') return false;
    const char* digit = name + 1;
    while (isWhiteSpace(*digit)) ++digit;
    if (*digit == '-') return false;  // no index is negative
    if (*digit == '+') ++digit;
    if (*digit < '0' || *digit > '9') return false;
    std::int32_t number = 0;
    for (; *digit >= '0' && *digit <= '9'; ++digit) {
        if (number <= 10) number = number * 10 + (*digit - '0');  // past every index it only has to stay past
    }
    return kind == 'N' ? isValidNumberIndex(number) : isValidStringIndex(number);
}

// The at-sign in front of `pos`, if the bytes between them could be the
// start of a name (a kind letter, then white space, signs and digits), so
// that what follows them now may change how they read; npos otherwise. It
// walks back over those bytes only.
size_type nameStartBefore(const LauncherString& text, size_type pos) {
    const char* const begin = text.c_str();
    const char* at = begin + pos;
    while (at > begin && (isWhiteSpace(at[-1]) || (at[-1] >= '0' && at[-1] <= '9') || at[-1] == '+' || at[-1] == '-')) {
        --at;
    }
    if (at > begin && (upperAscii(at[-1]) == 'N' || upperAscii(at[-1]) == 'S')) --at;
    return at > begin && at[-1] == '@' ? static_cast<size_type>(at - begin - 1) : LauncherString::npos;
}

// Lists of text positions are strings of four bytes each: that keeps the
// stub free of another vector's code.
size_type positionAt(const LauncherString& list, size_type index) {
    size_type position;
    std::memcpy(&position, list.c_str() + index * sizeof position, sizeof position);
    return position;
}

// The position `index` of `list` moved by `shift`, or npos past the end of `list`.
size_type positionAt(const LauncherString& list, size_type index, size_type shift) {
    return index < list.length() / sizeof shift ? positionAt(list, index) + shift : LauncherString::npos;
}

// Appends `position` unless it is the last one already.
void addPosition(LauncherString& list, size_type position) {
    const size_type count = list.length() / sizeof position;
    if (count == 0 || positionAt(list, count - 1) != position) {
        list.append(reinterpret_cast<const char*>(&position), sizeof position);
    }
}

}  // namespace

// Each pass does what the scan described in the header does, but looks only
// where that scan could act. See the text as at-signs, each followed by its
// segment, the bytes up to the next at-sign:
//
//     head @segment @segment @segment ...
//
// What the scan does at an at-sign depends only on its mark, its segment and
// whether another at-sign follows. Once a pass has looked at an at-sign, that
// changes only for the at-sign in front of a replacement (its segment now runs
// into the value, which matters while the segment could still grow into a
// name) and for the one that "@@" leaves. Those, and an at-sign that
// the scan passes over right after a reference's start, are left to the next
// pass. Besides them a pass looks at the at-signs of the values it inserts,
// and the first pass at all of them: at any other at-sign the scan would do
// nothing. The passes then cost the at-signs they look at and the bytes that
// replacements move, not a rescan of the text each.
void substituteVariables(LauncherString& text, const LauncherString& errorPrefix, std::int32_t lineNumber) {
    const LauncherString prefix = errorPrefix + " ";
    if (text.empty()) throwInstructionsException(prefix + "Empty expression.", lineNumber);

    // Marks the bytes that are values already ('1'; '0' otherwise), one mark
    // per byte of text: inserted by a replacement or left by "@@". An at-sign
    // among them that starts no valid reference is a literal (a Java home may
    // well hold one), not an error. A string of marks, not a vector<bool>,
    // keeps the stub free of the bit vector's code.
    LauncherString value(text.length(), '0');
    LauncherString due;  // the at-signs left to this pass, at their places when it began
    std::int32_t replacements = 0;
    bool replaced = true;
    while (replaced) {
        replaced = false;
        LauncherString later;  // the at-signs left to the next pass
        size_type next = 0;    // in `due`
        // The pass changes the text only where it scans, so what lies after
        // the scan keeps its distance from the end.
        const size_type passLength = text.length();
        // Before this the pass looks at every at-sign: in the first pass all
        // of them (it stays at or past the end), after that those of the
        // values the pass has inserted.
        size_type allUntil = replacements == 0 ? passLength : 0;
        size_type start = 0;  // where the scan goes on
        for (;;) {
            size_type first = text.find('@', start);
            if (first >= allUntil) {
                // The next at-sign left to this pass. One that now lies before
                // the scan was passed over right after a replacement, or was
                // the partner that "@@" took; either way the next pass has it.
                while ((first = positionAt(due, next++, text.length() - passLength)) < start) addPosition(later, first);
                if (first == LauncherString::npos) break;
            }
            start = first + 1;
            const size_type second = text.find('@', first + 1);
            const bool literalAllowed = value[first] == '1';
            if (second == LauncherString::npos) {
                if (literalAllowed) continue;
                throwInstructionsException(prefix + "Invalid variable specification.", lineNumber);
            }
            if (second == first + 1) {
                if (literalAllowed) continue;
                text.erase(second, 1);
                value.erase(second, 1);
                value.at(first) = '1';
                addPosition(later, first);
                continue;
            }
            if (literalAllowed && !isReference(text.c_str() + first + 1)) continue;
            const LauncherString name = text.substr(first + 1, second - first - 1);
            const LauncherString inserted = VariableReference::parse(name, errorPrefix).valueText();
            if (++replacements > maxSubstitutions) {
                throwInstructionsException(prefix + "Variable substitution does not end: a variable refers to itself.",
                                           lineNumber);
            }
            const size_type span = second - first + 1;
            if (inserted.length() > maxSubstitutedLength ||
                text.length() - span > maxSubstitutedLength - inserted.length()) {
                throwInstructionsException(
                    joinText({prefix, "Variable substitution makes the text longer than ",
                              formatLong(static_cast<std::int32_t>(maxSubstitutedLength)), " characters."}),
                    lineNumber);
            }
            // The partner may be an at-sign left to this pass; it goes.
            if (positionAt(due, next, text.length() - passLength) == second) ++next;
            text.replace(first, span, inserted);
            value.replace(first, span, LauncherString(inserted.length(), '1'));
            replaced = true;

            allUntil = second < allUntil ? allUntil + inserted.length() - span : first + inserted.length();
            const size_type before = nameStartBefore(text, first);
            if (before != LauncherString::npos) addPosition(later, before);
            // The scan passes over an at-sign that took the reference's place.
            if (text[first] == '@' && first < allUntil) addPosition(later, first);
        }
        due = std::move(later);
    }
}

}  // namespace nv
