#include "launcher/win32/LauncherProcess.h"

#include "foundation/Log.h"
#include "launcher/ProgressUi.h"
#include "launcher/win32/DialogProgressUi.h"
#include "launcher/win32/MainWindow.h"
#include "system/WindowsFamily.h"

namespace nv {

namespace {

// Keeps the process-wide operations pointed at the dialog while it exists.
class InstalledProgressUi {
public:
    explicit InstalledProgressUi(ProgressUi& ui) { installProgressUi(&ui); }
    ~InstalledProgressUi() { installProgressUi(nullptr); }
    InstalledProgressUi(const InstalledProgressUi&) = delete;
    InstalledProgressUi& operator=(const InstalledProgressUi&) = delete;
};

}  // namespace

int runLauncherProcess(HINSTANCE instance) {
    setWindows9xFlag(isWindows9x());
    startDebugLog();
    DialogProgressUi ui;
    InstalledProgressUi installed(ui);
    MainWindow mainWindow(instance, ui);
    if (!mainWindow.create()) return -1;
    return ui.runMessageLoop();
}

}  // namespace nv
