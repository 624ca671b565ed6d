#include "jvm/VersionRange.h"

#include "foundation/Log.h"
#include "jvm/JavaVersion.h"
#include "jvm/JvmFile.h"
#include "tagfile/TagFile.h"

namespace nv {

namespace {
// Reads a bound that is set; false, with a warning, when it is no version.
bool readBound(const char* tag, const LauncherString& text, const LauncherString& source, JavaVersion& bound) {
    if (text.empty() || bound.read(text, /*suffixAllowed=*/false)) return true;
    logEntry(joinText({"Invalid ", tag, " setting (", text, ") in JVM File ", source}), LogKind::warning);
    return false;
}
}  // namespace

VersionRange::VersionRange(const TagFile& jvmTags)
    : minimum_(jvmTags.value("MIN_JAVA_VERSION")),
      maximum_(jvmTags.value("MAX_JAVA_VERSION")),
      source_(jvmTags.sourceName()) {}

bool VersionRange::admits(const LauncherString& reported, const LauncherString& home) const {
    JavaVersion low;
    JavaVersion high;
    if (!readBound("MIN_JAVA_VERSION", minimum_, source_, low) ||
        !readBound("MAX_JAVA_VERSION", maximum_, source_, high)) {
        return false;
    }
    JavaVersion version;
    const bool readable = version.read(reported, /*suffixAllowed=*/true);
    if (readable && (minimum_.empty() || low.admitsAsMinimum(version)) &&
        (maximum_.empty() || high.admitsAsMaximum(version))) {
        return true;
    }
    logEntry(readable ? joinText({"Found Java ", reported, " at ", home, "; needs ", needs()})
                      : joinText({"Found Java at ", home, " whose version (", reported, ") cannot be read; needs ",
                                  needs()}));
    return false;
}

LauncherString VersionRange::needs() const {
    if (maximum_.empty()) return minimum_ + " or newer";
    if (minimum_.empty()) return maximum_ + " or older";
    return joinText({minimum_, " to ", maximum_});
}

LauncherString VersionRange::shortForm() const {
    if (maximum_.empty()) return joinText({"Java ", minimum_, "+"});
    if (minimum_.empty()) return "Java <= " + maximum_;
    return joinText({"Java ", minimum_, " - ", maximum_});
}

LauncherString wantedJavaVersions(const ObjectList<JvmFile>& jvmFiles) {
    LauncherString text;
    for (std::int32_t i = 0; i < jvmFiles.count(); ++i) {
        const VersionRange range(jvmFiles.get(i)->tags());
        if (range.empty()) continue;
        // Each line of the text stands between two line feeds once one is added at its end.
        const LauncherString line = "\n" + range.shortForm();
        if ((text + "\n").find(line + "\n") == LauncherString::npos) text += line;
    }
    return text;
}

}  // namespace nv
