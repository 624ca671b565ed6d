#pragma once
// An .ico file: its images and the directory that describes them.
//
//   header:    Reserved 2 (0), Type 2 (1 for icons), Count 2
//   directory: Count entries of 16 bytes: Width 1, Height 1 (0 means 256),
//              ColorCount 1, Reserved 1, Planes 2, BitCount 2,
//              BytesInRes 4, ImageOffset 4 (from the file's start)
//   images:    each a bitmap (from its BITMAPINFOHEADER on) or a PNG
//
// In an executable the images become RT_ICON resources and the directory an
// RT_GROUP_ICON resource whose 14-byte entries end in the image's resource
// number (2) instead of ImageOffset.

#include <cstdint>
#include <string>
#include <vector>

namespace nvpack {

struct IconImage {
    std::string entry;  // the first 12 bytes of its directory entry, Width to BytesInRes
    std::string bytes;
};

class IconFile {
public:
    // Reads the icon file at `path`; `givenAs` names it as the user gave it
    // ("--icon app.ico"), for messages. Throws PackError for a file that
    // cannot be read, is not an icon file, holds no image, or whose images
    // lie outside it or are not as long as its directory says.
    static IconFile read(const std::string& path, const std::string& givenAs);

    // The RT_GROUP_ICON resource for the images, numbered from ids[0] on.
    std::string groupResource(const std::vector<std::uint16_t>& ids) const;

    std::vector<IconImage> images;
};

}  // namespace nvpack
