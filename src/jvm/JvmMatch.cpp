#include "jvm/JvmMatch.h"

#include "cleanup/TemporaryFiles.h"
#include "tagfile/TagFile.h"

namespace nv {

LauncherString JvmMatch::writeJvmFile(TemporaryFiles& files) const {
    const LauncherString path = files.createFile();
    tags_.setJvmInfo(home_, path, temporary_);
    tags_.write(path);
    return path;
}

}  // namespace nv
