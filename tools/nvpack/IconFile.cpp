#include "IconFile.h"

#include <fstream>
#include <iterator>

#include "LittleEndian.h"
#include "Packer.h"

namespace nvpack {

IconFile IconFile::read(const std::string& path, const std::string& givenAs) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PackError(givenAs + ": cannot open the icon file");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw PackError(givenAs + ": cannot read the icon file");
    auto refuse = [&](const std::string& reason) { throw PackError(givenAs + ": " + reason); };

    if (!le::fits(bytes, 0, 6) || le::get16(bytes, 0) != 0 || le::get16(bytes, 2) != 1) {
        refuse("not an icon file (it does not start with an icon header)");
    }
    const std::uint16_t count = le::get16(bytes, 4);
    if (count == 0) refuse("the icon file holds no image");
    if (!le::fits(bytes, 6, 16 * std::size_t{count})) refuse("the icon file's directory is cut off");
    IconFile icon;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::uint32_t size = le::get32(bytes, entry + 8);
        const std::uint32_t offset = le::get32(bytes, entry + 12);
        const std::string which = "image " + std::to_string(i + 1) + " of " + std::to_string(count);
        if (size < 8) refuse(which + " is empty or too short to be an image");
        if (!le::fits(bytes, offset, size)) refuse(which + " lies outside the file");
        icon.images.push_back({bytes.substr(entry, 12), bytes.substr(offset, size)});
    }
    return icon;
}

std::string IconFile::groupResource(const std::vector<std::uint16_t>& ids) const {
    std::string out;
    le::append16(out, 0);
    le::append16(out, 1);
    le::append16(out, static_cast<std::uint16_t>(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        out += images[i].entry;
        le::append16(out, ids[i]);
    }
    return out;
}

}  // namespace nvpack
