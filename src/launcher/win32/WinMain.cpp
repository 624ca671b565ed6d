// Entry point of launcher.exe; the process itself lives in the library.
#include <windows.h>

#include "launcher/win32/LauncherProcess.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        return nv::runLauncherProcess(instance);
    } catch (...) {
        return -1;
    }
}
