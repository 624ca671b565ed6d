#pragma once
// The stub as the launcher file carries it: read whole, without the payload
// it may carry already, branded when the request brands it.

#include <string>

#include "Packer.h"

namespace nvpack {

// Throws PackError for a signed stub (a payload after the signature would
// break it), a stub that carries a payload unless the request replaces it
// (which is then cut off), and one that is not the launcher once branded
// (LauncherStub.h); `givenAs` names the stub as the user gave it.
std::string packedStub(const PackRequest& request, const Branding& branding, const std::string& givenAs);

}  // namespace nvpack
