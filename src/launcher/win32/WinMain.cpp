// Entry point of launcher.exe.
#include <windows.h>

#include "foundation/Messages.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr, nv::loadText(31).c_str(), "test", MB_OK);
    return 0;
}
