#include "foundation/LauncherString.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace nv {

namespace {
using size_type = LauncherString::size_type;

size_type toPos(std::string::size_type p) {
    return p == std::string::npos ? LauncherString::npos : static_cast<size_type>(p);
}
std::string::size_type fromPos(size_type p) { return p == LauncherString::npos ? std::string::npos : p; }
}  // namespace

LauncherString::LauncherString(const LauncherString& other) = default;
LauncherString::LauncherString(LauncherString&& other) noexcept = default;
LauncherString& LauncherString::operator=(const LauncherString& other) = default;
LauncherString& LauncherString::operator=(LauncherString&& other) noexcept = default;
LauncherString::~LauncherString() = default;

bool operator==(const LauncherString& a, const LauncherString& b) { return a.bytes_ == b.bytes_; }
bool operator==(const LauncherString& a, const char* b) {
    const std::size_t n = b ? std::strlen(b) : 0;
    return a.bytes_.size() == n && (n == 0 || std::memcmp(a.bytes_.data(), b, n) == 0);
}

LauncherString operator+(const LauncherString& a, const LauncherString& b) {
    LauncherString result(a);
    result.append(b);
    return result;
}
LauncherString operator+(const LauncherString& a, const char* b) {
    LauncherString result(a);
    result.append(b);
    return result;
}
LauncherString operator+(const char* a, const LauncherString& b) {
    LauncherString result(a);
    result.append(b);
    return result;
}
LauncherString operator+(LauncherString&& a, const LauncherString& b) { return std::move(a.append(b)); }
LauncherString operator+(LauncherString&& a, const char* b) { return std::move(a.append(b)); }

LauncherString::LauncherString(const char* text) : bytes_(text ? text : "") { checkGrow(0); }

LauncherString::LauncherString(const char* bytes, size_type count) {
    checkGrow(count);
    if (count) bytes_.assign(bytes, count);
}

LauncherString::LauncherString(const LauncherString& other, size_type pos, size_type count) {
    other.checkPos(pos);
    bytes_ = other.bytes_.substr(pos, fromPos(count));
}

LauncherString::LauncherString(size_type count, char c) {
    checkGrow(count);
    bytes_.assign(count, c);
}

LauncherString::LauncherString(const std::string& s) : bytes_(s) { checkGrow(0); }

LauncherString& LauncherString::operator=(const char* text) {
    bytes_ = text ? text : "";
    return *this;
}

void LauncherString::checkPos(size_type pos) const {
    if (pos > length()) throw RangeException{};
}

void LauncherString::checkGrow(std::size_t extra) const {
    // Written so that it cannot wrap where size_t has 32 bits.
    if (bytes_.size() > maxLength || extra > maxLength - bytes_.size()) throw LengthException{};
}

LauncherString& LauncherString::append(const LauncherString& s) { return append(s.bytes_.data(), s.length()); }
LauncherString& LauncherString::append(const char* text) {
    return text ? append(text, static_cast<size_type>(std::strlen(text))) : *this;
}
LauncherString& LauncherString::append(const char* bytes, size_type count) {
    checkGrow(count);
    bytes_.append(bytes, count);
    return *this;
}
LauncherString& LauncherString::append(const LauncherString& s, size_type pos, size_type count) {
    s.checkPos(pos);
    size_type n = std::min<size_type>(count, s.length() - pos);
    return append(s.bytes_.data() + pos, n);
}
LauncherString& LauncherString::append(char c) {
    checkGrow(1);
    bytes_.push_back(c);
    return *this;
}

LauncherString& LauncherString::insert(size_type pos, const LauncherString& s) {
    checkPos(pos);
    checkGrow(s.length());
    bytes_.insert(pos, s.bytes_);
    return *this;
}

LauncherString& LauncherString::erase(size_type pos, size_type count) {
    checkPos(pos);
    bytes_.erase(pos, fromPos(count));
    return *this;
}

LauncherString& LauncherString::replace(size_type pos, size_type count, const LauncherString& s) {
    checkPos(pos);
    size_type removed = std::min<size_type>(count, length() - pos);
    if (s.length() > removed) checkGrow(s.length() - removed);
    bytes_.replace(pos, removed, s.bytes_);
    return *this;
}

LauncherString LauncherString::substr(size_type pos, size_type count) const {
    return LauncherString(*this, pos, count);
}

size_type LauncherString::copyOut(char* dest, size_type count, size_type pos) const {
    checkPos(pos);
    size_type n = std::min<size_type>(count, length() - pos);
    if (n) std::memcpy(dest, bytes_.data() + pos, n);
    return n;
}

size_type LauncherString::find(const LauncherString& s, size_type pos) const {
    if (pos > length()) return npos;
    return toPos(bytes_.find(s.bytes_, pos));
}
size_type LauncherString::find(char c, size_type pos) const {
    if (pos >= length()) return npos;
    return toPos(bytes_.find(c, pos));
}
size_type LauncherString::rfind(const LauncherString& s, size_type pos) const {
    return toPos(bytes_.rfind(s.bytes_, fromPos(pos)));
}
size_type LauncherString::rfind(char c, size_type pos) const { return toPos(bytes_.rfind(c, fromPos(pos))); }
size_type LauncherString::findFirstOf(const LauncherString& set, size_type pos) const {
    if (pos >= length()) return npos;
    return toPos(bytes_.find_first_of(set.bytes_, pos));
}
size_type LauncherString::findLastOf(const LauncherString& set, size_type pos) const {
    return toPos(bytes_.find_last_of(set.bytes_, fromPos(pos)));
}
size_type LauncherString::findFirstNotOf(const LauncherString& set, size_type pos) const {
    if (pos >= length()) return npos;
    return toPos(bytes_.find_first_not_of(set.bytes_, pos));
}
size_type LauncherString::findLastNotOf(const LauncherString& set, size_type pos) const {
    return toPos(bytes_.find_last_not_of(set.bytes_, fromPos(pos)));
}

char& LauncherString::at(size_type pos) {
    if (pos >= length()) throw RangeException{};
    return bytes_[pos];
}
char LauncherString::at(size_type pos) const {
    if (pos >= length()) throw RangeException{};
    return bytes_[pos];
}

int LauncherString::compare(const LauncherString& other) const {
    // std::string compares through char_traits<char>, which is unsigned-byte-wise.
    int c = bytes_.compare(other.bytes_);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int LauncherString::compare(size_type pos, size_type count, const LauncherString& other) const {
    checkPos(pos);
    return LauncherString(*this, pos, count).compare(other);
}

LauncherString joinText(std::initializer_list<TextPiece> pieces) {
    LauncherString joined;
    for (const TextPiece& piece : pieces) {
        if (piece.size() > LauncherString::maxLength) throw LengthException{};
        joined.append(piece.data(), static_cast<size_type>(piece.size()));
    }
    return joined;
}

const LauncherString& LauncherString::emptyString() {
    static const LauncherString empty;
    return empty;
}

}  // namespace nv
