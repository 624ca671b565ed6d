#include "jvm/JvmMatch.h"

#include "cleanup/TemporaryFiles.h"
#include "tagfile/TagFile.h"

namespace nv {

LauncherString JvmMatch::writeJvmFile() const {
    const LauncherString path = createTemporaryFile();
    tags_.setJvmInfo(home_, path, temporary_);
    tags_.write(path);
    return path;
}

}  // namespace nv
