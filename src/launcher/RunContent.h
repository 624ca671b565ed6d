#pragma once
// What a run loaded: the launcher file it came from, and what the run made of
// its embedded files and of an input file's named files: the instruction
// program, the launch script, the JVM files with the verification class of
// the JVM search, and the window title. The launcher file only reads bytes
// (archive/LauncherFile.h); the roles that the types give the files are
// here. A run has one (LauncherJob); launches take their payload from it.

#include <cstdint>
#include <memory>

#include "archive/LauncherFile.h"
#include "foundation/LauncherString.h"
#include "foundation/ObjectList.h"
#include "foundation/RunSettings.h"
#include "jvm/JvmSearch.h"
#include "launch/LauncherPayload.h"
#include "launcher/Dispatch.h"

namespace nv {

class Instructions;
class LaunchScript;
class TagFile;
class TemporaryFiles;

class RunContent : public LauncherPayload {
public:
    // The launcher file at the settings' launcherPath (the running executable
    // in a real run); the launch script and the search work with the run's
    // `settings` and `files`, which must outlive it.
    RunContent(const RunSettings& settings, TemporaryFiles& files);
    ~RunContent() override;
    RunContent(const RunContent&) = delete;
    RunContent& operator=(const RunContent&) = delete;

    // Reads the launcher file's index once and, with Dispatch::yes,
    // dispatches its entries; a later call with Dispatch::yes dispatches an
    // index read without it. Dispatch parses the entries of types 0, 1 and 2
    // as tag files and builds the instruction program, the JVM files and the
    // launch script from them, keeping what an input file set already.
    // Throws LauncherException with the format's message, or with the
    // context of MessageCode::errorLoadingInstructions, errorLoadingJvmFile
    // or errorLoadingLaunchScript.
    void load(Dispatch dispatch);
    // Loads what an input file names (INSTRUCTIONS, LAUNCHSCRIPT,
    // VERIFY_CLASSPATH, VERIFY_CLASS_NAME, UI_TITLE, JVM); these win over
    // the embedded ones. Throws like load.
    void readNamedEntries(const TagFile& input);
    // -nv:extract: every entry into the current directory, and input.tag
    // naming the tag files. Throws LauncherException.
    void extractAll();

    LauncherFile& file() { return file_; }
    // The tag file that dispatch read from `entry` of this launcher file,
    // else null.
    TagFile* embeddedTags(const FileIndexEntry& entry) const;

    Instructions* instructions() const { return instructions_.get(); }
    LaunchScript* launchScript() const { return launchScript_.get(); }
    JvmSearch& jvmSearch() { return jvmSearch_; }

    // The launcher file's, for the launches.
    StringList extractType(std::uint8_t type, const LauncherString& directory) override;
    int modeByte() const override;

private:
    void dispatch();
    // Parses the tag file at `path` and keeps it for the rest of the run.
    TagFile& loadTagFile(const LauncherString& path);
    void useInstructions(const TagFile& tags);
    void useLaunchScript(TagFile& tags);
    void addJvmFile(TagFile& tags);

    const RunSettings& settings_;
    TemporaryFiles& files_;
    // The tag files first: what is built from them goes before they do.
    LauncherFile file_;
    ObjectList<TagFile> embeddedTags_;  // at each entry's position, null for the other types
    ObjectList<TagFile> loadedTagFiles_;
    bool dispatched_ = false;
    bool titleGiven_ = false;  // an input file's UI_TITLE was set
    bool jvmDescriptionsGiven_ = false;
    std::unique_ptr<Instructions> instructions_;
    std::unique_ptr<LaunchScript> launchScript_;
    JvmSearch jvmSearch_;
};

}  // namespace nv
