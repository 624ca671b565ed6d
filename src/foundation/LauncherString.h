#pragma once
// The byte string of the launcher: 8-bit characters in the ANSI code page,
// byte-wise and case-sensitive, with 32-bit positions.

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

namespace nv {

// Thrown when a result would exceed LauncherString::maxLength. A program error.
struct LengthException {};
// Thrown for a position beyond the length. A program error.
struct RangeException {};

class LauncherString {
public:
    using size_type = std::uint32_t;
    static constexpr size_type npos = 0xFFFFFFFFu;
    static constexpr size_type maxLength = 0xFFFFFFFDu;

    LauncherString() = default;
    // Copying, moving and destroying are out of line: inlined, std::string's
    // versions would repeat at every call site.
    LauncherString(const LauncherString& other);
    LauncherString(LauncherString&& other) noexcept;
    LauncherString& operator=(const LauncherString& other);
    LauncherString& operator=(LauncherString&& other) noexcept;
    ~LauncherString();
    LauncherString(const char* text);  // null reads as empty
    LauncherString(const char* bytes, size_type count);
    LauncherString(const LauncherString& other, size_type pos, size_type count = npos);
    LauncherString(size_type count, char c);
    explicit LauncherString(const std::string& s);

    LauncherString& operator=(const char* text);

    LauncherString& append(const LauncherString& s);
    LauncherString& append(const char* text);
    LauncherString& append(const char* bytes, size_type count);
    LauncherString& append(const LauncherString& s, size_type pos, size_type count);
    LauncherString& append(char c);
    LauncherString& operator+=(const LauncherString& s) { return append(s); }
    LauncherString& operator+=(const char* s) { return append(s); }
    LauncherString& operator+=(char c) { return append(c); }

    LauncherString& insert(size_type pos, const LauncherString& s);
    LauncherString& erase(size_type pos = 0, size_type count = npos);
    LauncherString& replace(size_type pos, size_type count, const LauncherString& s);
    LauncherString substr(size_type pos = 0, size_type count = npos) const;
    // Copies at most count bytes from pos into dest; returns how many.
    size_type copyOut(char* dest, size_type count, size_type pos = 0) const;

    size_type find(const LauncherString& s, size_type pos = 0) const;
    size_type find(char c, size_type pos = 0) const;
    size_type rfind(const LauncherString& s, size_type pos = npos) const;
    size_type rfind(char c, size_type pos = npos) const;
    size_type findFirstOf(const LauncherString& set, size_type pos = 0) const;
    size_type findLastOf(const LauncherString& set, size_type pos = npos) const;
    size_type findFirstNotOf(const LauncherString& set, size_type pos = 0) const;
    size_type findLastNotOf(const LauncherString& set, size_type pos = npos) const;

    size_type length() const { return static_cast<size_type>(bytes_.size()); }
    bool empty() const { return bytes_.empty(); }
    // Zero-terminated view; never null.
    const char* c_str() const { return bytes_.c_str(); }
    const std::string& str() const { return bytes_; }

    // Plain access: the zero character at or past the end.
    char operator[](size_type pos) const { return pos < length() ? bytes_[pos] : '\0'; }
    // Bounds-tested access: RangeException at or past the end.
    char& at(size_type pos);
    char at(size_type pos) const;

    // Byte-wise comparison: <0, 0 or >0.
    int compare(const LauncherString& other) const;
    int compare(size_type pos, size_type count, const LauncherString& other) const;

    friend bool operator==(const LauncherString& a, const LauncherString& b);
    friend bool operator!=(const LauncherString& a, const LauncherString& b) { return !(a == b); }
    // Against text directly, without a temporary string (null reads as empty).
    friend bool operator==(const LauncherString& a, const char* b);
    friend bool operator==(const char* a, const LauncherString& b) { return b == a; }
    friend bool operator!=(const LauncherString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const LauncherString& b) { return !(b == a); }
    friend bool operator<(const LauncherString& a, const LauncherString& b) { return a.compare(b) < 0; }
    // Out of line, with overloads for text and for a left side that is a
    // temporary: a chain of + then converts no literal into a temporary
    // string and reuses the left side's buffer.
    friend LauncherString operator+(const LauncherString& a, const LauncherString& b);
    friend LauncherString operator+(const LauncherString& a, const char* b);
    friend LauncherString operator+(const char* a, const LauncherString& b);
    friend LauncherString operator+(LauncherString&& a, const LauncherString& b);
    friend LauncherString operator+(LauncherString&& a, const char* b);

    // The one shared empty string that lookups return for an absent value.
    static const LauncherString& emptyString();

private:
    void checkPos(size_type pos) const;
    void checkGrow(std::size_t extra) const;
    std::string bytes_;
};

// A piece of text for joinText, seen in place: a string, or zero-terminated
// text (null reads as empty).
class TextPiece {
public:
    TextPiece(const char* text) : data_(text ? text : ""), size_(text ? std::strlen(text) : 0) {}
    TextPiece(const LauncherString& s) : data_(s.c_str()), size_(s.length()) {}
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    const char* data_;
    std::size_t size_;
};

// The pieces one after another, built in one string. For messages of several
// parts: a chain of + would make and destroy a temporary string per part.
LauncherString joinText(std::initializer_list<TextPiece> pieces);

}  // namespace nv
