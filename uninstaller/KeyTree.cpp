// Deleting a registry key with everything below it.
#include "KeyTree.h"

namespace {

class RegistryKey {
public:
    RegistryKey(HKEY parent, const std::string& name) {
        if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

void DeleteSubKeys(HKEY key) {
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    // The longest name is counted in characters; in a double-byte code page each may take two
    // bytes, and a name that did not fit would leave its key behind.
    std::string name(2 * longest + 1, '\0');
    // From the last index down, so that deleting a key does not move the ones still to come.
    for (DWORD index = count; index-- > 0;) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
            DeleteKeyTree(key, name.substr(0, length));
    }
}

} // namespace

void DeleteKeyTree(HKEY parent, const std::string& name) {
    // The key is closed again before it is deleted from its parent.
    if (RegistryKey key(parent, name); key) DeleteSubKeys(key.get());
    RegDeleteKeyA(parent, name.c_str());
}
