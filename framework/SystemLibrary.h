// The DLL search kept to the system folder, and system libraries taken from there by full path.
// The programs import only the system's known DLLs, which always come from the system folder;
// any other library is loaded this way, so that no DLL beside a program on a disk, or in a
// download folder, runs in its place.
#pragma once
#include <windows.h>

// Keeps every later search for a DLL by name to the system folder (SetDefaultDllDirectories,
// where the system has it) and out of the current folder. Called first thing in a program.
void RestrictDllSearch();
// An entry of a library of the system folder, loaded by its full path the first time and kept
// for the life of the process; null when the library or the entry is missing.
FARPROC SystemProc(const char* library, const char* name);
// The common controls of these classes (ICC_*), from the system's comctl32.dll; false when
// they cannot be had.
bool InitCommonControlsFromSystem(DWORD classes);
