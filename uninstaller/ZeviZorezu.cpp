// ZeviZorezu, the uninstaller: the program entry. It has no window of its own and no message
// loop; its only window is the question.
#include "SystemLibrary.h"
#include "Uninstall.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    // Nothing is reported and the exit code is always 0, even when memory runs out.
    try {
        RunUninstaller(instance, GetCommandLineA());
    } catch (...) {
    }
    return 0;
}
