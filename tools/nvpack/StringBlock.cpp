#include "StringBlock.h"

#include "LittleEndian.h"
#include "Packer.h"

namespace nvpack {

StringBlock StringBlock::parse(const std::string& resource, const std::string& where) {
    StringBlock block;
    std::size_t at = 0;
    for (std::u16string& s : block.strings_) {
        if (!le::fits(resource, at, 2)) throw PackError("the string table of " + where + " is cut off");
        const std::size_t length = le::get16(resource, at);
        at += 2;
        if (!le::fits(resource, at, 2 * length)) throw PackError("the string table of " + where + " is cut off");
        for (std::size_t i = 0; i < length; ++i, at += 2) s += static_cast<char16_t>(le::get16(resource, at));
    }
    block.trailer_ = resource.substr(at);
    return block;
}

std::string StringBlock::serialize() const {
    std::string out;
    for (const std::u16string& s : strings_) {
        if (s.size() > 0xFFFF) throw PackError("a text of the string table would be longer than 65535 characters");
        le::append16(out, static_cast<std::uint16_t>(s.size()));
        for (char16_t unit : s) le::append16(out, static_cast<std::uint16_t>(unit));
    }
    return out + trailer_;
}

}  // namespace nvpack
