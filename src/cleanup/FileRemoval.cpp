#include "cleanup/FileRemoval.h"

#include "cleanup/RemovingWalker.h"
#include "foundation/Log.h"

namespace nv {

void Removal::log() const {
    for (std::int32_t i = 0; i < failures.count(); ++i) logEntry(failures.get(i), LogKind::warning);
}

Removal deletePath(const LauncherString& path) {
    Removal removal;
    switch (pathKind(path)) {
    case PathKind::missing:
        break;
    case PathKind::directory: {
        RemovingWalker walker(removal);
        walker.walk(path);
        break;
    }
    case PathKind::file:
    case PathKind::link:
        deleteOne(path, removal);
        break;
    }
    return removal;
}

}  // namespace nv
