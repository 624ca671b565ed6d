#include "jvm/VersionRange.h"

#include "foundation/Log.h"
#include "jvm/JavaVersion.h"
#include "jvm/JvmFile.h"
#include "tagfile/TagFile.h"

namespace nv {

namespace {
// True when the JVM file does not set the bound `tag`, or sets one that
// admits `version`.
bool boundAdmits(const TagFile& jvmTags, const char* tag, bool maximum, const JavaVersion& version) {
    const LauncherString text = jvmTags.value(tag);
    JavaVersion bound;
    return text.empty() || (bound.read(text, /*suffixAllowed=*/false) &&
                            (maximum ? bound.admitsAsMaximum(version) : bound.admitsAsMinimum(version)));
}
}  // namespace

LauncherString javaVersionRange(const TagFile& jvmTags) {
    LauncherString range = jvmTags.value("MIN_JAVA_VERSION");
    const LauncherString maximum = jvmTags.value("MAX_JAVA_VERSION");
    const bool noMinimum = range.empty();
    if (noMinimum && maximum.empty()) return range;
    range.insert(0, "Java ");
    range += maximum.empty() ? "+" : noMinimum ? "<= " : " - ";
    range += maximum;
    return range;
}

bool javaVersionAdmitted(const TagFile& jvmTags, const LauncherString& reported, const LauncherString& home) {
    JavaVersion version;
    if (version.read(reported, /*suffixAllowed=*/true) && boundAdmits(jvmTags, "MIN_JAVA_VERSION", false, version) &&
        boundAdmits(jvmTags, "MAX_JAVA_VERSION", true, version)) {
        return true;
    }
    logEntry(joinText({"Found Java ", reported, " at ", home, "; needs ", javaVersionRange(jvmTags)}));
    return false;
}

LauncherString wantedJavaVersions(const ObjectList<JvmFile>& jvmFiles) {
    LauncherString text;
    for (std::int32_t i = 0; i < jvmFiles.count(); ++i) {
        const LauncherString range = javaVersionRange(jvmFiles.get(i)->tags());
        bool known = range.empty();
        for (std::int32_t k = 0; !known && k < i; ++k) known = javaVersionRange(jvmFiles.get(k)->tags()) == range;
        if (known) continue;
        text += '\n';
        text += range;
    }
    return text;
}

}  // namespace nv
