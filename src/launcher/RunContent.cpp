#include "launcher/RunContent.h"

#include <cstdio>

#include "archive/EntryType.h"
#include "foundation/AsciiCase.h"
#include "foundation/CFile.h"
#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/ProgressUi.h"
#include "foundation/ScopeGuard.h"
#include "instructions/Instructions.h"
#include "jvm/JvmFile.h"
#include "launch/LaunchScript.h"
#include "system/AnsiText.h"
#include "tagfile/TagFile.h"
#include "text/TextScanning.h"
#include "text/WideText.h"

namespace nv {

namespace {

// Sets the progress window's title from a text with \uXXXX escapes, which
// are converted to the ANSI code page; in silent mode too.
void setWindowTitleFromText(const LauncherString& text) { setTitle(convertEscapes(text, toAnsiCodePage)); }

}  // namespace

RunContent::RunContent(const RunSettings& settings, TemporaryFiles& files)
    : settings_(settings), files_(files), file_(settings.launcherPath), jvmSearch_(settings, files) {}
RunContent::~RunContent() = default;

void RunContent::load(Dispatch dispatch) {
    file_.loadIndex();
    if (dispatch == Dispatch::yes && !dispatched_) this->dispatch();
}

TagFile* RunContent::embeddedTags(const FileIndexEntry& entry) const {
    for (std::int32_t i = 0; i < embeddedTags_.count(); ++i) {
        if (file_.entryAt(i) == &entry) return embeddedTags_.get(i);
    }
    return nullptr;
}

StringList RunContent::extractType(std::uint8_t type, const LauncherString& directory) {
    return file_.extractType(type, directory);
}

int RunContent::modeByte() const { return file_.modeByte(); }

TagFile& RunContent::loadTagFile(const LauncherString& path) {
    auto tags = std::make_unique<TagFile>();
    tags->load(path);
    return *loadedTagFiles_.append(std::move(tags));
}

void RunContent::useInstructions(const TagFile& tags) {
    instructions_ = std::make_unique<Instructions>(Instructions::fromTagFile(tags));
}

void RunContent::useLaunchScript(TagFile& tags) {
    launchScript_ = std::make_unique<LaunchScript>(tags, settings_, files_);
    launchScript_->setPayload(this);
    // An input file's UI_TITLE wins over the launch script's DESC.
    if (!titleGiven_) setWindowTitleFromText(launchScript_->description());
}

void RunContent::addJvmFile(TagFile& tags) {
    jvmSearch_.jvmFiles().append(std::make_unique<JvmFile>(tags, settings_, jvmSearch_.verifier()));
}

void RunContent::dispatch() {
    CFile file = openFile(file_.path().c_str(), "rb");
    embeddedTags_.clear();
    for (std::int32_t i = 0; i < file_.entryCount(); ++i) {
        const FileIndexEntry& entry = *file_.entryAt(i);
        if (entry.type > typeLaunchScript) {
            embeddedTags_.append(nullptr);
            continue;
        }
        if (!file.get()) throwLauncherException("Cannot open launcher file.");
        checkEntryBytes(entry, file.get());
        auto read = std::make_unique<TagFile>();
        read->readFrom(file.get(), entry.name, entry.offset, entry.length);
        TagFile& tags = *embeddedTags_.append(std::move(read));
        try {
            if (entry.type == typeInstructions && !instructions_) {
                useInstructions(tags);
            } else if (entry.type == typeJvmFile && !jvmDescriptionsGiven_) {
                addJvmFile(tags);
            } else if (entry.type == typeLaunchScript && !launchScript_) {
                useLaunchScript(tags);
            }
        } catch (const LauncherException& e) {
            throwLauncherException(withContext(entry.type == typeInstructions ? MessageCode::errorLoadingInstructions
                                               : entry.type == typeJvmFile    ? MessageCode::errorLoadingJvmFile
                                                                              : MessageCode::errorLoadingLaunchScript,
                                               e));
        }
    }
    jvmDescriptionsGiven_ = true;
    dispatched_ = true;
}

void RunContent::readNamedEntries(const TagFile& input) {
    LauncherString path = input.value("INSTRUCTIONS");
    if (!path.empty()) {
        try {
            useInstructions(loadTagFile(path));
        } catch (const LauncherException& e) {
            throwLauncherException(withContext(MessageCode::errorLoadingInstructions, e));
        }
    }
    path = input.value("LAUNCHSCRIPT");
    if (!path.empty()) {
        try {
            useLaunchScript(loadTagFile(path));
        } catch (const LauncherException& e) {
            throwLauncherException(withContext(MessageCode::errorLoadingLaunchScript, e));
        }
    }
    LauncherString classPath = input.value("VERIFY_CLASSPATH");
    LauncherString className = input.value("VERIFY_CLASS_NAME");
    if (!classPath.empty() && !className.empty()) {
        jvmSearch_.verifyClassPath = classPath;
        jvmSearch_.verifyClassName = className;
    }
    LauncherString title = input.value("UI_TITLE");
    if (!title.empty()) {
        setWindowTitleFromText(title);
        titleGiven_ = true;
    }
    for (std::int32_t i = 0; i < input.valueCount("JVM"); ++i) {
        jvmDescriptionsGiven_ = true;
        path = input.value("JVM", i);
        if (path.empty()) continue;
        try {
            addJvmFile(loadTagFile(path));
        } catch (const LauncherException& e) {
            throwLauncherException(withContext(MessageCode::errorLoadingJvmFile, e));
        }
    }
}

void RunContent::extractAll() {
    // Every name is judged before the first file is written, so a refusal leaves nothing half done.
    for (std::int32_t i = 0; i < file_.entryCount(); ++i) {
        const FileIndexEntry& entry = *file_.entryAt(i);
        checkEntryName(entry);
        if (equalIgnoringAsciiCase(entry.name.str(), "input.tag")) {
            throwLauncherException(joinText({"The embedded file ", entry.name,
                                             " has the name of the input.tag that -nv:extract writes; nothing was "
                                             "extracted."}));
        }
    }
    TagFile input;
    input.setValue("ACTION", "RUN_INSTRUCTIONS");
    // A failure on the way (a damaged entry, a full disk) takes back what was written.
    StringList written;
    ScopeGuard removeWritten([&written] {
        for (std::int32_t i = 0; i < written.count(); ++i) std::remove(written.get(i).c_str());
    });
    for (std::int32_t i = 0; i < file_.entryCount(); ++i) {
        const FileIndexEntry& entry = *file_.entryAt(i);
        // Dispatch uses the first instruction program and launch script; input.tag names those.
        if (entry.type == typeJvmFile) input.addValue("JVM", entry.name);
        if (entry.type == typeLaunchScript && input.value("LAUNCHSCRIPT").empty()) {
            input.setValue("LAUNCHSCRIPT", entry.name);
        }
        if (entry.type == typeInstructions && input.value("INSTRUCTIONS").empty()) {
            input.setValue("INSTRUCTIONS", entry.name);
        }
        written.append(file_.extract(entry, LauncherString()));
    }
    // The writer skips a file it cannot create; here that must not pass for success.
    std::remove("input.tag");
    input.write("input.tag");
    CFile check = openFile("input.tag", "r");
    if (!check.get()) throwLauncherException(messageText(MessageCode::errorWritingFile) + "input.tag");
    removeWritten.dismiss();
}

}  // namespace nv
