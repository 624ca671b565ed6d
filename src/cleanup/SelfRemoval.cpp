#include "cleanup/SelfRemoval.h"

#include "cleanup/DeferredDeletion.h"
#include "cleanup/TemporaryFiles.h"
#include "cleanup/TemporaryNames.h"
#include "foundation/CFile.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "system/WindowsFamily.h"
#include "text/PathText.h"

namespace nv {

namespace {

// A path in double quotes for cmd, where blanks, "&", "(" and the like are
// safe; only "%" would still be read as a variable, so it is doubled.
LauncherString batchQuoted(const LauncherString& path) {
    LauncherString text("\"");
    for (LauncherString::size_type i = 0; i < path.length(); ++i) {
        if (path[i] == '%') text += '%';
        text += path[i];
    }
    text += '"';
    return text;
}

void removeThroughWinInit(const LauncherString& exe, const LauncherString& dir) {
    debugLog("Launcher: Writing to wininit.ini to cleanup");
    StringList lines;
    lines.append("NUL=" + shortPathName(exe));
    lines.append("NUL=" + shortPathName(dir));
    mergeIntoWinInit(lines);  // nothing sensible is left to do when it fails
}

void removeThroughBatchFile(const LauncherString& exe, const LauncherString& dir, TemporaryFiles& files) {
    const LauncherString name = files.createFile();
    files.list().forgetFile(name);
    debugLog("Launcher: Cleanup batch file called: " + name);
    removeFile(name);
    const LauncherString batch = batchPathFor(name);
    {
        CFile file = openFile(batch.c_str(), "w");
        if (!file) return;
        const LauncherString text = cleanupBatchText(exe, dir, batch, debugLogFile());
        std::fwrite(text.c_str(), 1, text.length(), file.get());
        if (!closeFile(file)) return;
    }
    startCleanupBatch(batch);
}

}  // namespace

void removeOwnExecutable(const LauncherString& exe, TemporaryFiles& files) {
    const LauncherString dir = launcherDirectory(exe);
    if (windows9xFlag()) {
        removeThroughWinInit(exe, dir);
        return;
    }
    try {
        removeThroughBatchFile(exe, dir, files);
    } catch (const LauncherException&) {
        // Without a temporary directory there is no batch file; the file stays.
    }
}

LauncherString cleanupBatchText(const LauncherString& exe, const LauncherString& dir, const LauncherString& batch,
                                const LauncherString& debugLog) {
    const bool logging = !debugLog.empty();
    const LauncherString quotedExe = batchQuoted(exe);
    const LauncherString quotedBatch = batchQuoted(batch);
    const LauncherString appendToLog = " from within batch file. >> " + batchQuoted(debugLog) + "\n";
    LauncherString text = ":Repeat\n";
    if (logging) text += joinText({"@echo Deleting ", quotedExe, appendToLog});
    text += joinText({"del ", quotedExe, "\nif exist ", quotedExe, " goto Repeat\n"});
    if (!dir.empty()) text += joinText({"rmdir /q ", batchQuoted(dir), "\n"});
    text += joinText({"del ", quotedBatch, "\n"});
    if (logging) text += joinText({"@echo Deleted batch file ", quotedBatch, appendToLog});
    return text;
}

LauncherString batchPathFor(const LauncherString& temporaryName) {
    const LauncherString::size_type separator = temporaryName.findLastOf("\\/");
    const LauncherString::size_type nameStart = separator == LauncherString::npos ? 0 : separator + 1;
    const LauncherString::size_type dot = temporaryName.rfind('.');
    const bool hasExtension = dot != LauncherString::npos && dot >= nameStart;
    return (hasExtension ? temporaryName.substr(0, dot) : temporaryName) + ".bat";
}

LauncherString withRenameLines(const LauncherString& text, const StringList& lines) {
    LauncherString added;
    for (std::int32_t i = 0; i < lines.count(); ++i) {
        added += lines.get(i);
        added += '\n';
    }
    const LauncherString header = "[Rename]";
    const LauncherString::size_type at = text.find(header);
    if (at == LauncherString::npos) return joinText({text, header, "\n", added});
    const LauncherString::size_type feed = text.find('\n', at + header.length());
    if (feed == LauncherString::npos) {
        const LauncherString::size_type end = at + header.length();
        return joinText({text.substr(0, end), "\n", added, text.substr(end)});
    }
    return joinText({text.substr(0, feed + 1), added, text.substr(feed + 1)});
}

}  // namespace nv
