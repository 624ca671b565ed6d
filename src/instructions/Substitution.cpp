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

// Bytes that may stand between a name's kind letter and its end: white
// space, signs and digits.
bool mayFollowKind(char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || isWhiteSpace(c); }

// Finds the at-sign in front of a position when the bytes between them could
// be the start of a name (a kind letter, then bytes that may follow it), so
// that what follows them now may change how they read. Such bytes may run
// long (zeros, blanks), and every replacement behind them asks again: the
// run last walked over is remembered, so each byte is walked over about once.
class NameStart {
public:
    // The at-sign in front of the end of `text`, or npos.
    size_type before(const LauncherString& text) {
        const size_type end = text.length();
        size_type at = end;
        while (at > 0 && !(from_ < at && at <= to_) && mayFollowKind(text[at - 1])) --at;
        if (from_ < at && at <= to_) at = from_;  // the rest of the run is known
        if (at != from_) to_ = 0;                 // another run
        from_ = at;
        if (end > to_) to_ = end;
        if (at > 0 && (upperAscii(text[at - 1]) == 'N' || upperAscii(text[at - 1]) == 'S')) --at;
        return at > 0 && text[at - 1] == '@' ? at - 1 : LauncherString::npos;
    }

    // The text has changed from `pos` on.
    void changedFrom(size_type pos) {
        if (pos < from_) from_ = to_ = 0;
        if (pos < to_) to_ = pos;
    }

private:
    // text[from_, to_) may follow a kind letter, and the byte before from_
    // may not (or the text begins at from_).
    size_type from_ = 0;
    size_type to_ = 0;
};

constexpr char plainMark = '0';
constexpr char valueMark = '1';

// The text of one pass, with a mark for each byte: valueMark for the bytes
// that are values already, plainMark otherwise. The scan only changes the
// text where it stands, so the text is kept in two parts: what the scan has
// left behind (`done_`, final for the pass) and what lies ahead (`ahead_`
// from `next_` on). A replacement puts its value in front of what lies
// ahead, into the room that the consumed bytes left there, or makes room
// for this and later ones at once: no replacement and no "@@" moves the
// rest of the text. Positions count from the start of the whole text.
class PassText {
public:
    PassText(LauncherString& text, LauncherString& marks) : ahead_(std::move(text)), aheadMarks_(std::move(marks)) {}
    PassText(const PassText&) = delete;
    PassText& operator=(const PassText&) = delete;

    // Gives the whole text and its marks back when the pass ends.
    void finish(LauncherString& text, LauncherString& marks) {
        if (done_.empty() && next_ == 0) {  // nothing left behind: the text is all ahead
            text = std::move(ahead_);
            marks = std::move(aheadMarks_);
            return;
        }
        done_.append(ahead_, next_, LauncherString::npos);
        doneMarks_.append(aheadMarks_, next_, LauncherString::npos);
        text = std::move(done_);
        marks = std::move(doneMarks_);
    }

    size_type length() const { return done_.length() + ahead_.length() - next_; }
    // What the scan has left behind.
    const LauncherString& done() const { return done_; }
    // Byte and mark at `pos`, at or after the end of done(); the scan looks no further back.
    char at(size_type pos) const { return ahead_[aheadIndex(pos)]; }
    char markAt(size_type pos) const { return aheadMarks_[aheadIndex(pos)]; }
    const char* from(size_type pos) const { return ahead_.c_str() + aheadIndex(pos); }
    LauncherString substr(size_type pos, size_type count) const { return ahead_.substr(aheadIndex(pos), count); }
    // The next at-sign at or after `pos`, or npos.
    size_type findAt(size_type pos) const {
        const size_type found = ahead_.find('@', aheadIndex(pos));
        return found == LauncherString::npos ? found : found - next_ + done_.length();
    }

    // The scan has left the bytes before `pos` behind.
    void leave(size_type pos) {
        const size_type count = pos - done_.length();
        done_.append(ahead_, next_, count);
        doneMarks_.append(aheadMarks_, next_, count);
        next_ += count;
    }
    // "@@" at `pos`: the first at-sign stays, a value now, the second goes.
    void collapsePair(size_type pos) {
        leave(pos);
        done_ += '@';
        doneMarks_ += valueMark;
        next_ += 2;
    }
    // Replaces `span` bytes at `pos` by `value`.
    void replace(size_type pos, size_type span, const LauncherString& value) {
        leave(pos);
        next_ += span;
        const size_type count = value.length();
        if (next_ < count) {
            // Room for this value and as much again as lies ahead.
            const size_type room = count + ahead_.length() - next_;
            LauncherString grown(room, '\0');
            grown.append(ahead_, next_, LauncherString::npos);
            ahead_ = std::move(grown);
            LauncherString grownMarks(room, plainMark);
            grownMarks.append(aheadMarks_, next_, LauncherString::npos);
            aheadMarks_ = std::move(grownMarks);
            next_ = room;
        }
        next_ -= count;
        ahead_.replace(next_, count, value);
        aheadMarks_.replace(next_, count, LauncherString(count, valueMark));
    }

private:
    size_type aheadIndex(size_type pos) const { return pos - done_.length() + next_; }

    LauncherString ahead_;
    LauncherString aheadMarks_;
    LauncherString done_;
    LauncherString doneMarks_;
    size_type next_ = 0;
};

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
// nothing. A pass then costs the at-signs it looks at, the values it inserts
// and one copy of the text when it changed it, not a rescan; and the walks
// back over what may be a name, once over each run of such bytes.
void substituteVariables(LauncherString& text, const LauncherString& errorPrefix, std::int32_t lineNumber) {
    const LauncherString prefix = errorPrefix + " ";
    if (text.empty()) throwInstructionsException(prefix + "Empty expression.", lineNumber);

    // Marks the bytes that are values already (valueMark), one mark per byte
    // of text: inserted by a replacement or left by "@@". An at-sign
    // among them that starts no valid reference is a literal (a Java home may
    // well hold one), not an error. A string of marks, not a vector<bool>,
    // keeps the stub free of the bit vector's code.
    LauncherString value(text.length(), plainMark);
    NameStart names;
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
        PassText pass(text, value);
        // Before this the pass looks at every at-sign: in the first pass all
        // of them (it stays at or past the end), after that those of the
        // values the pass has inserted.
        size_type allUntil = replacements == 0 ? passLength : 0;
        size_type start = 0;  // where the scan goes on
        for (;;) {
            size_type first = pass.findAt(start);
            if (first >= allUntil) {
                // The next at-sign left to this pass. One that now lies before
                // the scan was passed over right after a replacement, or was
                // the partner that "@@" took; either way the next pass has it.
                while ((first = positionAt(due, next++, pass.length() - passLength)) < start) addPosition(later, first);
                if (first == LauncherString::npos) break;
            }
            start = first + 1;
            const size_type second = pass.findAt(first + 1);
            const bool literalAllowed = pass.markAt(first) == valueMark;
            if (second == LauncherString::npos) {
                if (literalAllowed) continue;
                throwInstructionsException(prefix + "Invalid variable specification.", lineNumber);
            }
            if (second == first + 1) {
                if (literalAllowed) continue;
                pass.collapsePair(first);
                names.changedFrom(second);
                addPosition(later, first);
                continue;
            }
            if (literalAllowed && !isReference(pass.from(first + 1))) continue;
            const LauncherString name = pass.substr(first + 1, second - first - 1);
            const LauncherString inserted = VariableReference::parse(name, errorPrefix).valueText();
            if (++replacements > maxSubstitutions) {
                throwInstructionsException(prefix + "Variable substitution does not end: a variable refers to itself.",
                                           lineNumber);
            }
            const size_type span = second - first + 1;
            if (inserted.length() > maxSubstitutedLength ||
                pass.length() - span > maxSubstitutedLength - inserted.length()) {
                throwInstructionsException(
                    joinText({prefix, "Variable substitution makes the text longer than ",
                              formatLong(static_cast<std::int32_t>(maxSubstitutedLength)), " characters."}),
                    lineNumber);
            }
            // The partner may be an at-sign left to this pass; it goes.
            if (positionAt(due, next, pass.length() - passLength) == second) ++next;
            pass.replace(first, span, inserted);
            names.changedFrom(first);
            replaced = true;

            allUntil = second < allUntil ? allUntil + inserted.length() - span : first + inserted.length();
            const size_type before = names.before(pass.done());
            if (before != LauncherString::npos) addPosition(later, before);
            // The scan passes over an at-sign that took the reference's place.
            if (pass.at(first) == '@' && first < allUntil) addPosition(later, first);
        }
        pass.finish(text, value);
        due = std::move(later);
    }
}

}  // namespace nv
