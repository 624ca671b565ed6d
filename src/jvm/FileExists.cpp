#include "jvm/FileExists.h"

#include "foundation/Log.h"
#include "foundation/ResourceText.h"
#include "jvm/FileProbe.h"

namespace nv {

bool fileExists(const LauncherString& path) {
    const unsigned long error = probeFile(path);
    if (error == 0 || isSharingViolation(error)) return true;
    if (!isMissingFileError(error)) logEntry(systemErrorText(error));
    return false;
}

}  // namespace nv
