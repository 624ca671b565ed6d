#include "cleanup/Cleanup.h"

namespace nv {

// The hook that the deferred deletion of temporary files fills in.
void runCleanup() {}

}  // namespace nv
