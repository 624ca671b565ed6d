#include "launcher/VersionBox.h"

#include "resources/Version.h"
#include "system/AnsiText.h"

namespace nv {

namespace {

unsigned read16(const std::string& bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

// Searches the blocks in [at, end) and, depth-first, their children for the
// text value `key`. Each block: length, value length (in UTF-16 units for
// text), type (1 text), key, padding to 4, value, padding to 4, children.
bool findString(const std::string& bytes, std::size_t at, std::size_t end, const char* key, int depth,
                std::u16string& out) {
    while (depth < 5 && at + 6 <= end) {
        const std::size_t blockEnd = at + read16(bytes, at);
        if (blockEnd <= at + 6 || blockEnd > end) return false;
        std::size_t p = at + 6;
        std::size_t k = 0;
        bool same = true;
        for (;; p += 2, ++k) {
            if (p + 2 > blockEnd) return false;
            const unsigned unit = read16(bytes, p);
            if (unit == 0) break;
            same = same && key[k] != 0 && unit == static_cast<unsigned char>(key[k]);
        }
        same = same && key[k] == 0;
        p = (p + 2 + 3) & ~std::size_t(3);
        const bool text = read16(bytes, at + 4) == 1;
        std::size_t valueBytes = read16(bytes, at + 2);
        if (text) valueBytes *= 2;
        if (p + valueBytes > blockEnd) return false;
        if (same && text) {
            for (std::size_t i = 0; i + 2 <= valueBytes && read16(bytes, p + i) != 0; i += 2) {
                out += static_cast<char16_t>(read16(bytes, p + i));
            }
            return true;
        }
        if (findString(bytes, (p + valueBytes + 3) & ~std::size_t(3), blockEnd, key, depth + 1, out)) return true;
        at = (blockEnd + 3) & ~std::size_t(3);
    }
    return false;
}

LauncherString stringOf(const std::string& resource, const char* key) {
    std::u16string text;
    findString(resource, 0, resource.size(), key, 0, text);
    return toAnsiCodePage(text);
}

}  // namespace

VersionBox versionBox(const std::string& resource) {
    VersionBox box;
    box.text = NV_VERSION_TEXT;
    const LauncherString name = stringOf(resource, "ProductName");
    if (name.empty() || name == NV_PRODUCT_NAME) return box;
    box.title = name;
    LauncherString text = name;
    const LauncherString version = stringOf(resource, "ProductVersion");
    if (!version.empty()) {
        text.append(' ');
        text.append(version);
    }
    text.append("\nlauncher ");
    text.append(box.text);
    box.text = text;
    return box;
}

}  // namespace nv
