// Paths the shell knows: its special folders and the targets of its links. Shared by both
// programs; each gives failures its own meaning.
#pragma once
#include <windows.h>

#include <string>

// The path of the shell folder with this CSIDL number, as the shell gives it (with or without a
// trailing backslash), in path. Returns the failing HRESULT of the shell's allocator or of the
// folder's location, with path empty; S_OK otherwise, with path empty when the folder has no
// place in the file system.
HRESULT GetShellFolderPath(int csidl, HWND owner, std::string& path);

// The target path of the shell link file at linkPath; empty when the file is no shell link, cannot
// be read, or has no path as its target.
std::string ShortcutTarget(const std::string& linkPath);
