#include "cleanup/FileRemoval.h"

#include "cleanup/RemovingWalker.h"

namespace nv {

void deletePath(const LauncherString& path) {
    switch (pathKind(path)) {
    case PathKind::missing:
        return;
    case PathKind::directory: {
        RemovingWalker walker;
        walker.walk(path);
        return;
    }
    case PathKind::file:
    case PathKind::link:
        deleteOne(path);
        return;
    }
}

}  // namespace nv
