#pragma once
// Whether a stub is the launcher: a file that Windows starts and that holds
// what the launcher loads from its own resources. Any other executable (the
// carried-JVM unpacker, a jar given by mistake) would make a launcher file
// that cannot run.

#include <string>

namespace nvpack {

// Throws PackError "<givenAs> is not a launcher stub: <reason>" unless `stub`
// is a Windows executable (MZ and PE headers) whose resources hold the
// progress dialogs 101 and 103 and the string table of the launcher's
// texts. Branding leaves these alone, so a branded stub passes too.
// `givenAs` names the stub as the user gave it ("--stub launcher.exe").
void checkLauncherStub(const std::string& stub, const std::string& givenAs);

}  // namespace nvpack
