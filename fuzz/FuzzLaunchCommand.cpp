// Feeds arbitrary bytes to the launch command's three passes as a command
// template: the scanner, function calls with their argument lists, and the
// functions themselves. The base temporary directory does not exist, so no
// function can leave a directory behind.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "foundation/LauncherException.h"
#include "foundation/RunSettings.h"
#include "cleanup/TemporaryFiles.h"
#include "jvm/JvmFile.h"
#include "jvm/JvmVerification.h"
#include "launch/LaunchScript.h"
#include "tagfile/TagFile.h"

namespace {

nv::TagFile& jvmTags() {
    static nv::TagFile tags = [] {
        nv::TagFile t;
        t.setValue("JVM_HOME", "C:\\jdk\\");
        t.setValue("JVM_EXE", "bin\\java.exe");
        t.setValue("SYSTEM", "-D");
        t.setValue("SYSTEM_SEPARATOR", "=");
        t.setValue("CLASSPATH", "-cp ");
        t.setValue("CLASSPATH_SEPARATOR", ";");
        t.setValue("SELF", "@SELF@x");
        t.setValue("PCT", "%TEMP_DIR%()");
        return t;
    }();
    return tags;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nv::RunSettings settings;
    nv::TemporaryFiles files(settings);
    nv::JvmVerifier verifier(settings, files);
    settings.launcherPath = "C:\\dist\\setup.exe";
    settings.tempDirOverride = "/nonexistent/nv-fuzz-temp/";
    nv::JvmFile jvm(jvmTags(), settings, verifier);
    nv::LaunchScript script(nv::LauncherString(std::string(reinterpret_cast<const char*>(data), size)),
                            nv::OutputCapture::on, nv::EmbeddedArchives::leftOut, settings, files);
    try {
        (void)script.buildCommand(jvm);
    } catch (const nv::LauncherException&) {
    }
    return 0;
}
