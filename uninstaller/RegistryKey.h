// Registry keys as the uninstaller uses them: string values read, and a key deleted with
// everything below it. Every failure is ignored.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// An open key; it did not open when it tests false, and then reads nothing.
class RegistryKey {
public:
    RegistryKey(HKEY parent, const std::string& name, REGSAM access);
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey();
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

    // The string value name, an expandable one with its environment variables expanded; empty
    // when it is missing or of another type.
    std::string ReadString(const std::string& name) const;
    // The names of the key's values.
    std::vector<std::string> ValueNames() const;

private:
    HKEY key_ = nullptr;
};

// Deletes the key name below parent together with all its sub-keys, the deepest first. A key
// that cannot be opened or deleted stays.
void DeleteKeyTree(HKEY parent, const std::string& name);
