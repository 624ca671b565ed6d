#include "archive/LauncherFile.h"
#include "foundation/LauncherException.h"
#include "launcher/RunJob.h"
#include "launcher/RunSettings.h"

namespace nv {

namespace {

// The job of a real run, on the launcher's own file.
class LauncherJob : public RunJob {
public:
    void extractAll() override {
        loadLauncherFile(false);
        throw LauncherException("Extracting embedded files is not available in this launcher build.");
    }
    InputFileOutcome processInputFile(const LauncherString&) override {
        throw LauncherException("Input files are not available in this launcher build.");
    }
    void loadLauncherFile(bool dispatch) override { file().loadIndex(dispatch); }
    std::int32_t runInstructions() override {
        throw LauncherException("This launcher file carries no instruction program.");
    }

private:
    LauncherFile& file() {
        if (!file_) file_ = std::make_unique<LauncherFile>(runSettings().launcherPath);
        return *file_;
    }
    std::unique_ptr<LauncherFile> file_;
};

}  // namespace

RunJob& processRunJob() {
    static LauncherJob job;
    return job;
}

}  // namespace nv
