// Feeds arbitrary bytes to the class path builder: the first line is the
// JVM file's CLASSPATH_SEPARATOR, USE_CP_ENV_VAR and CP_ENV_VAR as a tag
// file, the rest becomes the CP call's quoted arguments and -cp:p / -cp:a.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "foundation/CFile.h"
#include "foundation/LauncherException.h"
#include "foundation/RunSettings.h"
#include "cleanup/TemporaryFiles.h"
#include "jvm/JvmFile.h"
#include "jvm/JvmVerification.h"
#include "launch/LaunchScript.h"
#include "tagfile/TagFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string::size_type split = bytes.find('\n');
    const std::string tagText = bytes.substr(0, split);
    const std::string rest = split == std::string::npos ? std::string() : bytes.substr(split + 1);

    nv::TagFile tags;
    {
        const nv::CFile file(std::tmpfile());
        if (!file) return 0;
        std::fputs(tagText.c_str(), file.get());
        try {
            tags.readFrom(file.get(), "fuzz");
        } catch (const nv::LauncherException&) {
            return 0;
        }
    }
    nv::RunSettings settings;
    nv::TemporaryFiles files(settings);
    nv::JvmVerifier verifier(settings, files);
    settings.launcherPath = "C:\\dist\\setup.exe";
    settings.tempDirOverride = "/nonexistent/nv-fuzz-temp/";
    settings.classPathPrefix = nv::LauncherString(rest.substr(0, rest.size() / 3));
    settings.classPathSuffix = nv::LauncherString(rest.substr(rest.size() / 3, rest.size() / 3));
    // The CP call: each remaining line one argument, quotes doubled as a template writes them.
    std::string call = "%CP%(";
    std::string::size_type start = 2 * (rest.size() / 3);
    while (start < rest.size()) {
        std::string::size_type end = rest.find('\n', start);
        if (end == std::string::npos) end = rest.size();
        std::string argument;
        for (char c : rest.substr(start, end - start)) argument += c == '"' ? std::string("\"\"") : std::string(1, c);
        call += "\"" + argument + "\",";
        start = end + 1;
    }
    call += ")";
    nv::JvmFile jvm(tags, settings, verifier);
    nv::LaunchScript script(nv::LauncherString(call), nv::OutputCapture::on, nv::EmbeddedArchives::leftOut, settings,
                            files);
    try {
        (void)script.buildCommand(jvm);
    } catch (const nv::LauncherException&) {
    }
    return 0;
}
