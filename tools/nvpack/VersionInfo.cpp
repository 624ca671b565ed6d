#include "VersionInfo.h"

#include <algorithm>

#include "LittleEndian.h"
#include "Packer.h"

namespace nvpack {

namespace {

constexpr std::size_t fixedInfoSize = 52;
constexpr std::uint32_t fixedSignature = 0xFEEF04BD;

std::u16string wide(const char* ascii) { return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii)); }

// UTF-8 to UTF-16; false for bytes that are not UTF-8.
bool utf8ToUtf16(const std::string& in, std::u16string& out) {
    for (std::size_t i = 0; i < in.size();) {
        const auto lead = static_cast<unsigned char>(in[i]);
        const std::size_t length = lead < 0x80         ? 1
                                   : (lead >> 5) == 6  ? 2
                                   : (lead >> 4) == 14 ? 3
                                   : (lead >> 3) == 30 ? 4
                                                       : 0;
        if (length == 0 || i + length > in.size()) return false;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(in[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        static const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return false;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += length;
    }
    return true;
}

std::string textValue(const std::u16string& text) {
    std::string out;
    for (char16_t unit : text) le::append16(out, static_cast<std::uint16_t>(unit));
    le::append16(out, 0);
    return out;
}

std::size_t aligned4(std::size_t at) { return (at + 3) / 4 * 4; }

}  // namespace

std::u16string versionText(const std::string& utf8, const std::string& option) {
    std::u16string text;
    if (!utf8ToUtf16(utf8, text)) throw PackError(option + " \"" + utf8 + "\" is not UTF-8 text");
    return text;
}

VersionNumber parseVersionNumber(const std::string& text, const std::string& option) {
    VersionNumber version{};
    std::size_t part = 0;
    std::size_t at = 0;
    auto refuse = [&] {
        throw PackError(option + " \"" + text +
                        "\" is not a version of one to four dot-separated numbers 0-65535, "
                        "such as 2.5.1.0");
    };
    for (;;) {
        if (part == version.size()) refuse();
        std::uint32_t value = 0;
        const std::size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 6) {
            value = value * 10 + static_cast<std::uint32_t>(text[at++] - '0');
        }
        if (at == start || value > 0xFFFF) refuse();
        version[part++] = static_cast<std::uint16_t>(value);
        if (at == text.size()) return version;
        if (text[at++] != '.') refuse();
    }
}

VersionInfo::VersionInfo() {
    root_.key = wide("VS_VERSION_INFO");
    root_.value.assign(fixedInfoSize, '\0');
    le::put32(root_.value, 0, fixedSignature);
    le::put32(root_.value, 4, 0x10000);  // structure version 1.0
    le::put32(root_.value, 24, 0x3F);    // VS_FFI_FILEFLAGSMASK
    le::put32(root_.value, 32, 4);       // VOS__WINDOWS32
    le::put32(root_.value, 36, 1);       // VFT_APP
    Block table;
    table.key = wide("040904B0");
    Block strings;
    strings.key = wide("StringFileInfo");
    strings.children.push_back(table);
    Block translation;
    translation.key = wide("Translation");
    le::append16(translation.value, 0x0409);
    le::append16(translation.value, 1200);
    Block variables;
    variables.key = wide("VarFileInfo");
    variables.children.push_back(translation);
    root_.children = {strings, variables};
}

VersionInfo VersionInfo::parse(const std::string& resource, const std::string& where) {
    if (!le::fits(resource, 0, 6)) throw PackError("the version information of " + where + " is cut off");
    VersionInfo info;
    info.root_ = parseBlock(resource, 0, resource.size(), 1, where);
    if (info.root_.key != wide("VS_VERSION_INFO") || info.root_.value.size() != fixedInfoSize ||
        le::get32(info.root_.value, 0) != fixedSignature) {
        throw PackError("the version information of " + where +
                        " does not start with VS_VERSION_INFO and its fixed part");
    }
    return info;
}

VersionInfo::Block VersionInfo::parseBlock(const std::string& bytes, std::size_t at, std::size_t end, int depth,
                                           const std::string& where) {
    auto refuse = [&where] { throw PackError("the version information of " + where + " is malformed"); };
    // Version, string table list, string table, string: deeper is no version information.
    if (at + 6 > end || depth > 4) refuse();
    const std::size_t length = le::get16(bytes, at);
    const std::size_t valueLength = le::get16(bytes, at + 2);
    Block block;
    block.text = le::get16(bytes, at + 4) == 1;
    const std::size_t blockEnd = at + length;
    if (length < 6 || blockEnd > end) refuse();
    std::size_t p = at + 6;
    for (;; p += 2) {
        if (p + 2 > blockEnd) refuse();
        const std::uint16_t unit = le::get16(bytes, p);
        if (unit == 0) break;
        block.key += static_cast<char16_t>(unit);
    }
    p = aligned4(p + 2);
    const std::size_t valueBytes = block.text ? 2 * valueLength : valueLength;
    if (valueBytes != 0) {
        if (p + valueBytes > blockEnd) refuse();
        block.value = bytes.substr(p, valueBytes);
        p = aligned4(p + valueBytes);
    }
    while (p < blockEnd) {
        Block child = parseBlock(bytes, p, blockEnd, depth + 1, where);
        p = aligned4(p + le::get16(bytes, p));
        block.children.push_back(std::move(child));
    }
    return block;
}

std::string VersionInfo::serialize() const {
    std::string out;
    serializeBlock(root_, out);
    return out;
}

void VersionInfo::serializeBlock(const Block& block, std::string& out) {
    le::padTo(out, 4);
    const std::size_t start = out.size();
    le::append16(out, 0);  // wLength, below
    le::append16(out, static_cast<std::uint16_t>(block.text ? block.value.size() / 2 : block.value.size()));
    le::append16(out, block.text ? 1 : 0);
    out += textValue(block.key);
    le::padTo(out, 4);
    out += block.value;
    for (const Block& child : block.children) serializeBlock(child, out);
    if (out.size() - start > 0xFFFF) {
        throw PackError("the version information would be larger than its 65535-byte limit; shorten its texts");
    }
    le::put16(out, start, static_cast<std::uint16_t>(out.size() - start));
}

VersionInfo::Block* VersionInfo::Block::child(const std::u16string& name) {
    for (Block& c : children) {
        if (c.key == name) return &c;
    }
    return nullptr;
}

void VersionInfo::setString(const std::string& key, const std::string& value, const std::string& option) {
    const std::u16string text = versionText(value, option);
    Block* strings = root_.child(wide("StringFileInfo"));
    if (strings == nullptr) {
        Block added;
        added.key = wide("StringFileInfo");
        Block table;
        table.key = wide("040904B0");
        added.children.push_back(table);
        root_.children.insert(root_.children.begin(), added);
        strings = &root_.children.front();
    }
    for (Block& table : strings->children) {
        Block* entry = table.child(wide(key.c_str()));
        if (entry == nullptr) {
            Block added;
            added.key = wide(key.c_str());
            added.text = true;
            table.children.push_back(added);
            entry = &table.children.back();
        }
        entry->value = textValue(text);
    }
}

void VersionInfo::removeString(const std::string& key) {
    Block* strings = root_.child(wide("StringFileInfo"));
    if (strings == nullptr) return;
    for (Block& table : strings->children) {
        auto& entries = table.children;
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&key](const Block& entry) { return entry.key == wide(key.c_str()); }),
                      entries.end());
    }
}

void VersionInfo::setFixedVersions(const VersionNumber& version) {
    const auto high = static_cast<std::uint32_t>(version[0]) << 16 | version[1];
    const auto low = static_cast<std::uint32_t>(version[2]) << 16 | version[3];
    le::put32(root_.value, 8, high);
    le::put32(root_.value, 12, low);
    le::put32(root_.value, 16, high);
    le::put32(root_.value, 20, low);
}

}  // namespace nvpack
