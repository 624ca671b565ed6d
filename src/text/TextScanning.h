#pragma once
// The lexical routines that every text format of the launcher shares: blanks,
// lines, words and arguments. Free functions without state.

#include <cstdio>

#include "foundation/LauncherString.h"

namespace nv {

// The blank set " \t\n\r" used for trimming, line reading, plain arguments
// and the tag file writer's quoting test.
inline constexpr char blankSet[] = " \t\n\r";

// True for space, tab, line feed and carriage return.
bool isBlank(char c);

// True for the C-locale white space: the blanks plus vertical tab and form feed.
bool isWhiteSpace(char c);

// Removes leading and trailing bytes of `set` from `text`; a text made only of
// such bytes becomes empty.
void trimBlanks(LauncherString& text, const char* set = blankSet);

// Reads one line from `file`: bytes up to a line feed (consumed, not kept) or
// the end of the file, every carriage return dropped, blanks trimmed. At the
// end of the file yields what was gathered, possibly empty; the caller tests
// for the end before asking again.
LauncherString readLine(std::FILE* file);

// readLine over text in memory, starting at `pos`. At or past the end yields
// empty and leaves `pos` alone; otherwise leaves `pos` just after the line
// feed, or one past the end of the text when the text ended first.
LauncherString readLineFromText(const LauncherString& text, LauncherString::size_type& pos);

// Reads the next white-space-delimited word from `pos` into `word`. Leaves
// `pos` one past the byte that ended the word (at most length + 1). Returns
// false, with `word` empty, when only white space remained.
bool nextToken(const LauncherString& text, LauncherString::size_type& pos, LauncherString& word);

// Reads one argument at `pos`.
// Quoted mode: `pos` is just after the opening double quote; a doubled quote
// stands for one; the argument ends at the first lone quote, and `pos` is left
// just after it, or npos (-1) when that reached the end of the text.
// Plain mode: the bytes up to the first blank; `pos` is left at that blank, or
// npos when none followed.
// Throws LauncherException "Expected double quote to end argument near " + the
// position when a quoted argument has no closing quote.
LauncherString readArgument(const LauncherString& text, LauncherString::size_type& pos, bool quoted);

// True when `text` ends with `suffix`; an empty suffix always matches.
bool endsWith(const LauncherString& text, const LauncherString& suffix);

}  // namespace nv
