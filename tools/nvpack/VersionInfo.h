#pragma once
// The version resource (RT_VERSION): a tree of blocks, each laid out as
//
//   wLength 2 (the block with its children, without padding after it),
//   wValueLength 2 (text: UTF-16 units with the terminator; binary: bytes),
//   wType 2 (1 text, 0 binary), szKey (UTF-16, terminated),
//   padding to 4, Value, padding to 4, children (each 4-aligned)
//
// with the offsets counted from the resource's start, where the root begins:
//
//   "VS_VERSION_INFO", value VS_FIXEDFILEINFO (52 bytes: dwSignature
//       0xFEEF04BD, dwStrucVersion, dwFileVersionMS, dwFileVersionLS,
//       dwProductVersionMS, dwProductVersionLS, dwFileFlagsMask, dwFileFlags,
//       dwFileOS, dwFileType, dwFileSubtype, dwFileDateMS, dwFileDateLS)
//     "StringFileInfo"
//       "040904B0" (language and code page in hex), one per translation
//         "CompanyName", "ProductName", ... text values
//     "VarFileInfo"
//       "Translation", binary value: language 2, code page 2 per translation

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nvpack {

// The four parts of a version "a.b.c.d".
using VersionNumber = std::array<std::uint16_t, 4>;

// Reads "a", "a.b", "a.b.c" or "a.b.c.d" of decimal numbers 0 to 65535
// (missing parts are 0). Throws PackError naming `option`.
VersionNumber parseVersionNumber(const std::string& text, const std::string& option);

// The UTF-16 form of a text value given in UTF-8. Throws PackError naming
// `option` for bytes that are not UTF-8.
std::u16string versionText(const std::string& utf8, const std::string& option);

class VersionInfo {
public:
    // A version resource for US English, Unicode, with an empty string table.
    VersionInfo();
    // Reads a version resource. Throws PackError naming `where` for one
    // whose blocks lie outside it or that has no VS_FIXEDFILEINFO.
    static VersionInfo parse(const std::string& resource, const std::string& where);

    std::string serialize() const;

    // Sets the text value `key` (UTF-8) in every string table, adding it
    // where it is missing; throws PackError naming `option` for text that is
    // not UTF-8.
    void setString(const std::string& key, const std::string& value, const std::string& option);
    // Removes the text value `key` from every string table.
    void removeString(const std::string& key);
    // Sets the file and product versions of VS_FIXEDFILEINFO.
    void setFixedVersions(const VersionNumber& version);

private:
    struct Block {
        std::u16string key;
        bool text = false;
        std::string value;  // as stored: UTF-16 with its terminator for text
        std::vector<Block> children;
        Block* child(const std::u16string& name);
    };
    static Block parseBlock(const std::string& bytes, std::size_t at, std::size_t end, int depth,
                            const std::string& where);
    static void serializeBlock(const Block& block, std::string& out);

    Block root_;
};

}  // namespace nvpack
