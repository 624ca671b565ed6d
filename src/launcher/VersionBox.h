#pragma once
// What -nv:version shows. A launcher that nvpack branded with a product
// name answers with that product, read from its own version information.

#include <string>

#include "foundation/LauncherString.h"

namespace nv {

struct VersionBox {
    LauncherString title;  // empty: the box keeps the window's title
    LauncherString text;
};

// For `resource`, the launcher's own version information (RT_VERSION, as
// stored): when its ProductName is another than the launcher's own, a box
// titled with that name showing "NAME VERSION" (ProductVersion) and the
// launcher's version on a second line; otherwise, and for a resource that is
// missing or malformed, the launcher's version alone.
VersionBox versionBox(const std::string& resource);

}  // namespace nv
