// The DLL search restriction and libraries of the system folder.
#include "SystemLibrary.h"

#include <commctrl.h>

#include <string>

void RestrictDllSearch() {
    // Windows 8, and Windows 7 and Vista with their update, have it; it is looked up so that
    // the programs still start on a system without it.
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesProc>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryA("");
}

FARPROC SystemProc(const char* library, const char* name) {
    char folder[MAX_PATH] = "";
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder) + "\\" + library;
    // Never freed: the window classes a library registers and the objects made from it (image
    // lists, controls) must outlive every window of the process.
    const HMODULE module = LoadLibraryExA(path.c_str(), nullptr, 0);
    return module ? GetProcAddress(module, name) : nullptr;
}

bool InitCommonControlsFromSystem(DWORD classes) {
    using InitProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = reinterpret_cast<InitProc>(
        reinterpret_cast<void*>(SystemProc("comctl32.dll", "InitCommonControlsEx")));
    const INITCOMMONCONTROLSEX controls{sizeof controls, classes};
    return init && init(&controls);
}
