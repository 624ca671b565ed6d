#include "launcher/win32/LauncherProcess.h"

#include "foundation/Log.h"
#include "foundation/ScopeGuard.h"
#include "foundation/ProgressUi.h"
#include "launcher/win32/DialogProgressUi.h"
#include "launcher/win32/FaultHandler.h"
#include "launcher/win32/MainWindow.h"
#include "system/WindowsFamily.h"

namespace nv {

int runLauncherProcess(HINSTANCE instance) {
    installFaultHandler();
    guardThreadStack();
    setWindows9xFlag(isWindows9x());
    startDebugLog();
    DialogProgressUi ui;
    // The process-wide operations point at the dialog while it exists.
    installProgressUi(&ui);
    ScopeGuard uninstall([] { installProgressUi(nullptr); });
    MainWindow mainWindow(instance, ui);
    if (!mainWindow.create()) return -1;
    return ui.runMessageLoop();
}

}  // namespace nv
