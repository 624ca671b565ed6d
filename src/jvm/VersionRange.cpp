#include "jvm/VersionRange.h"

#include "foundation/Log.h"
#include "jvm/JavaVersion.h"
#include "jvm/JvmFile.h"
#include "tagfile/TagFile.h"

namespace nv {

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
    bool admitted = version.read(reported, /*suffixAllowed=*/true);
    // The minimum, then the maximum: each admits when it is not set.
    for (int maximum = 0; admitted && maximum < 2; ++maximum) {
        const LauncherString text = jvmTags.value(maximum ? "MAX_JAVA_VERSION" : "MIN_JAVA_VERSION");
        JavaVersion bound;
        admitted = text.empty() || (bound.read(text, /*suffixAllowed=*/false) &&
                                    (maximum ? bound.admitsAsMaximum(version) : bound.admitsAsMinimum(version)));
    }
    if (!admitted) logEntry(joinText({"Found Java ", reported, " at ", home, "; needs ", javaVersionRange(jvmTags)}));
    return admitted;
}

void appendWantedJavaVersions(LauncherString& text, const ObjectList<JvmFile>& jvmFiles) {
    for (std::int32_t i = 0; i < jvmFiles.count(); ++i) {
        const LauncherString range = javaVersionRange(jvmFiles.get(i)->tags());
        bool known = range.empty();
        for (std::int32_t k = 0; !known && k < i; ++k) known = javaVersionRange(jvmFiles.get(k)->tags()) == range;
        if (known) continue;
        text += '\n';
        text += range;
    }
}

}  // namespace nv
