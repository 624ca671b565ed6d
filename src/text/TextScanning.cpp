#include "text/TextScanning.h"

#include <cstdint>

#include "foundation/LauncherException.h"
#include "text/NumberText.h"

namespace nv {

namespace {

using size_type = LauncherString::size_type;
constexpr size_type npos = LauncherString::npos;

[[noreturn]] void throwMissingQuote(size_type pos) {
    // npos is shown as -1, the way the position is written everywhere else.
    throwLauncherException("Expected double quote to end argument near " + formatLong(static_cast<std::int32_t>(pos)));
}

LauncherString readQuoted(const LauncherString& text, size_type& pos) {
    const size_type length = text.length();
    LauncherString result;
    size_type quote = text.find('"', pos);
    if (quote == npos) throwMissingQuote(pos);
    while (quote + 1 < length && text[quote + 1] == '"') {
        if (quote + 2 == length) {
            pos = npos;
            throwMissingQuote(pos);
        }
        result.append(text, pos, quote + 1 - pos);  // keeps one of the two quotes
        pos = quote + 2;
        quote = text.find('"', pos);
        if (quote == npos) throwMissingQuote(pos);
    }
    result.append(text, pos, quote - pos);
    pos = quote + 1;
    if (pos >= length) pos = npos;
    return result;
}

LauncherString readPlain(const LauncherString& text, size_type& pos) {
    if (pos >= text.length()) {
        pos = npos;
        return LauncherString();
    }
    const size_type start = pos;
    pos = text.findFirstOf(blankSet, start);
    return text.substr(start, pos == npos ? npos : pos - start);
}

}  // namespace

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isWhiteSpace(char c) { return isBlank(c) || c == '\v' || c == '\f'; }

void trimBlanks(LauncherString& text, const char* set) {
    const size_type last = text.findLastNotOf(set);
    if (last == npos) {
        text.erase();
        return;
    }
    text.erase(last + 1);
    text.erase(0, text.findFirstNotOf(set));
}

LauncherString readLine(std::FILE* file) {
    LauncherString line;
    int c;
    while ((c = std::getc(file)) != EOF && c != '\n') {
        if (c != '\r') line.append(static_cast<char>(c));
    }
    trimBlanks(line);
    return line;
}

LauncherString readLineFromText(const LauncherString& text, size_type& pos) {
    const size_type length = text.length();
    if (pos >= length) return LauncherString();
    LauncherString line;
    while (pos < length && text[pos] != '\n') {
        if (text[pos] != '\r') line.append(text[pos]);
        ++pos;
    }
    ++pos;  // past the line feed, or one past the end
    trimBlanks(line);
    return line;
}

bool nextToken(const LauncherString& text, size_type& pos, LauncherString& word) {
    const size_type length = text.length();
    size_type at = pos < length ? pos : length;
    while (at < length && isWhiteSpace(text[at])) ++at;
    const size_type start = at;
    while (at < length && !isWhiteSpace(text[at])) ++at;
    word = text.substr(start, at - start);
    pos = at + 1;
    return !word.empty();
}

LauncherString readArgument(const LauncherString& text, size_type& pos, bool quoted) {
    return quoted ? readQuoted(text, pos) : readPlain(text, pos);
}

bool endsWith(const LauncherString& text, const LauncherString& suffix) {
    if (suffix.length() > text.length()) return false;
    return text.compare(text.length() - suffix.length(), suffix.length(), suffix) == 0;
}

}  // namespace nv
