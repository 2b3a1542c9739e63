// Deleting a registry key with everything below it.
#pragma once
#include <windows.h>

#include <string>

// Deletes the key name below parent together with all its sub-keys, the deepest first. Every
// failure is ignored: a key that cannot be opened or deleted stays.
void DeleteKeyTree(HKEY parent, const std::string& name);
