// Folders that the shell knows by number (CSIDL).
#pragma once
#include <string>

// The folder's path with a trailing backslash; empty when the shell gives none.
std::string SpecialFolder(int csidl);
// The current user's Start-menu Programs folder, under which the installer makes the shortcut;
// empty when the shell gives none.
std::string GetProgramsFolder();
