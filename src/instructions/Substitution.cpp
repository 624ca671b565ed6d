#include "instructions/Substitution.h"

#include <cstring>
#include <utility>

#include "foundation/AsciiCase.h"
#include "foundation/LauncherException.h"
#include "instructions/InstructionsException.h"
#include "instructions/VariableReference.h"
#include "instructions/VariableStore.h"
#include "text/NumberText.h"
#include "text/TextScanning.h"

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
    // The at-sign in front of `end` in `text`, or npos.
    size_type before(const LauncherString& text, size_type end) {
        size_type at = end;
        // (Before the text's start, text[at - 1] reads as the terminator, which stops every test.)
        while (!(from_ < at && at <= to_) && mayFollowKind(text[at - 1])) --at;
        if (from_ < at && at <= to_) at = from_;  // the rest of the run is known
        if (at != from_) to_ = 0;                 // another run
        from_ = at;
        if (end > to_) to_ = end;
        const char kind = upperAscii(text[at - 1]);
        if (kind == 'N' || kind == 'S') --at;
        return text[at - 1] == '@' ? at - 1 : LauncherString::npos;
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
// text where it stands, so each of the two is kept with a gap there: what
// the scan has left behind (final for the pass) before it, what lies ahead
// after it. A replacement writes its value into the gap, just before what
// lies ahead; only when the gap is too small is the rest moved, to make a
// gap as large as all that lies ahead. So no replacement and no "@@" moves
// the rest of the text for itself. Positions count in the text without the gap.
class PassText {
public:
    PassText(LauncherString& text, LauncherString& marks) {
        lanes_[0] = std::move(text);
        lanes_[1] = std::move(marks);
    }

    // Gives the whole text and its marks back when the pass ends.
    void finish(LauncherString& text, LauncherString& marks) {
        for (LauncherString& lane : lanes_) lane.erase(done_, next_ - done_);
        text = std::move(lanes_[0]);
        marks = std::move(lanes_[1]);
    }

    size_type length() const { return lanes_[0].length() - (next_ - done_); }
    // The text, whose first `done()` bytes the scan has left behind.
    const LauncherString& text() const { return lanes_[0]; }
    size_type done() const { return done_; }
    // Mark at `pos`, and the bytes from `pos` on, at or after done(); the scan looks no further back.
    char markAt(size_type pos) const { return lanes_[1].c_str()[pos - done_ + next_]; }
    const char* from(size_type pos) const { return lanes_[0].c_str() + (pos - done_ + next_); }
    // The next at-sign at or after `pos`, or npos.
    size_type findAt(size_type pos) const {
        const size_type found = lanes_[0].find('@', pos - done_ + next_);
        return found == LauncherString::npos ? found : found - next_ + done_;
    }

    // The scan has left the bytes before `pos` behind.
    void leave(size_type pos) {
        const size_type count = pos - done_;
        if (next_ != done_) {
            for (LauncherString& lane : lanes_) lane.replace(done_, count, lane.substr(next_, count));
        }
        done_ += count;
        next_ += count;
    }
    // "@@" at `pos`: the first at-sign stays, a value now, the second goes.
    void collapsePair(size_type pos) {
        leave(pos + 1);
        lanes_[1].at(pos) = valueMark;
        ++next_;
    }
    // Replaces `span` bytes at `pos` by `value`.
    void replace(size_type pos, size_type span, const LauncherString& value) {
        leave(pos);
        next_ += span;
        const size_type count = value.length();
        const size_type room = next_ - done_ < count ? count + lanes_[0].length() - next_ : 0;
        if (room) {
            for (LauncherString& lane : lanes_) lane.replace(next_, 0, LauncherString(room, plainMark));
        }
        next_ += room - count;  // (without new room, back by `count`: the arithmetic wraps)
        lanes_[0].replace(next_, count, value);
        lanes_[1].replace(next_, count, LauncherString(count, valueMark));
    }

private:
    LauncherString lanes_[2];  // the text, and its marks
    size_type done_ = 0;       // the gap's start
    size_type next_ = 0;       // and its end
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
void substituteVariables(LauncherString& text, const VariableStore& variables, const LauncherString& errorPrefix,
                         std::int32_t lineNumber) {
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
            const LauncherString name(pass.from(first + 1), second - first - 1);
            const LauncherString inserted = VariableReference::parse(name, errorPrefix).valueText(variables);
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
            const size_type before = names.before(pass.text(), pass.done());
            if (before != LauncherString::npos) addPosition(later, before);
            // The scan passes over an at-sign that took the reference's place.
            if (*pass.from(first) == '@' && first < allUntil) addPosition(later, first);
        }
        pass.finish(text, value);
        due = std::move(later);
    }
}

}  // namespace nv
