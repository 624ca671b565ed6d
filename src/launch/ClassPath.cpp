#include "launch/ClassPath.h"

#include "archive/EntryType.h"
#include "cleanup/TemporaryFiles.h"
#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "foundation/RunSettings.h"
#include "launch/CompanionFile.h"
#include "launch/JvmVariables.h"
#include "launch/LaunchScript.h"
#include "launch/LauncherPayload.h"
#include "launch/LiteralText.h"
#include "launch/ReferenceScanner.h"
#include "system/Environment.h"

namespace nv {

namespace {

// A path of the launcher's own (an extracted archive, -cp:p, -cp:a) in
// double quotes, as a literal; an empty one is no element at all, since an
// empty element would put the working directory, where the launcher lies,
// on the class path.
LauncherString quotedLiteral(const LauncherString& path) {
    return path.empty() ? path : joinText({"\"", literal(path), "\""});
}

// A companion list joined into one element.
LauncherString companionElement(const RunSettings& settings, const char* suffix, const JvmVariables& jvm) {
    LauncherString list;
    const StringList lines = companionLines(settings.originalPath(), suffix);
    for (std::int32_t i = 0; i < lines.count(); ++i) addElement(list, lines.get(i), jvm);
    return list;
}

// The embedded class path archives, extracted into a new temporary directory.
LauncherString archivesElement(LaunchScript& script, const JvmVariables& jvm, bool environmentMode) {
    LauncherString list;
    if (!script.addsEmbeddedArchives() || !script.payload()) return list;
    const StringList paths =
        script.payload()->extractType(typeClassPathArchive, script.temporaryFiles().createDirectory());
    for (std::int32_t i = 0; i < paths.count(); ++i) {
        addElement(list, environmentMode ? literal(paths.get(i)) : quotedLiteral(paths.get(i)), jvm);
    }
    return list;
}

}  // namespace

void addElement(LauncherString& classPath, const LauncherString& element, const JvmVariables& jvm) {
    if (element.empty()) return;
    if (!classPath.empty()) classPath += jvm.lookupVariable("CLASSPATH_SEPARATOR");
    classPath += element;
}

LauncherString buildClassPath(const StringList& arguments, LaunchScript& script, const JvmVariables& jvm) {
    const bool environmentMode = jvm.lookupVariable("USE_CP_ENV_VAR") == "1";
    const RunSettings& settings = script.settings();
    LauncherString classPath;
    addElement(classPath, quotedLiteral(settings.classPathPrefix), jvm);
    addElement(classPath, companionElement(settings, ".cp1", jvm), jvm);
    addElement(classPath, jvm.lookupVariable("JVM_CLASSPATH"), jvm);
    addElement(classPath, companionElement(settings, ".cp", jvm), jvm);
    for (std::int32_t i = 0; i < arguments.count(); ++i) {
        addElement(classPath, environmentMode ? stripQuotes(arguments.get(i)) : arguments.get(i), jvm);
    }
    const LauncherString archive = expandReferences(script.archiveTemplate(), '%', script);
    addElement(classPath, environmentMode ? stripQuotes(archive) : archive, jvm);
    addElement(classPath, archivesElement(script, jvm, environmentMode), jvm);
    addElement(classPath, companionElement(settings, ".cp2", jvm), jvm);
    addElement(classPath, quotedLiteral(settings.classPathSuffix), jvm);

    if (!environmentMode) return classPath.empty() ? LauncherString() : jvm.lookupVariable("CLASSPATH") + classPath;
    // The variable is read as it stands, not as a command line.
    classPath = restoreLiterals(classPath, RestoreFor::text);
    const LauncherString variable = jvm.lookupVariable("CP_ENV_VAR");
    if (variable.empty()) {
        logEntry("If USE_CP_ENV_VAR is set to 1 in the jvm file, then the jvm file should also define CP_ENV_VAR.",
                 LogKind::error);
    } else {
        setEnvironmentValue(variable, classPath);
        logEntry(joinText({"Set env var ", variable, " to ", classPath, "\n"}));
    }
    return LauncherString();
}

}  // namespace nv
