#pragma once
// What a launch needs of the launcher file it came from: its embedded files
// of one type written into a directory, and its mode byte. What a run loaded
// (launcher/RunContent.h) implements it over the launcher file; a launch
// without one (the verification's) has neither.

#include <cstdint>

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

class LauncherPayload {
public:
    virtual ~LauncherPayload() = default;
    // Extracts every embedded file of `type`, in index order, into
    // `directory` and returns the paths written. Throws LauncherException.
    virtual StringList extractType(std::uint8_t type, const LauncherString& directory) = 0;
    // The mode byte of the launcher file, or -1.
    virtual int modeByte() const = 0;
};

// Modes 0 and 2 launch the setup wizard: its program gets the wizard
// environment, and its ending with 1000 is no failure.
inline bool isWizardMode(int modeByte) { return modeByte == 0 || modeByte == 2; }

}  // namespace nv
