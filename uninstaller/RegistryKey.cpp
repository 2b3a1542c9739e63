// Registry keys as the uninstaller uses them: string values read, and a key deleted with
// everything below it.
#include "RegistryKey.h"

namespace {

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

std::string Expanded(const std::string& text) {
    const DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    std::string expanded(size, '\0');
    const DWORD used = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), size);
    if (size == 0 || used == 0 || used > size) return "";
    expanded.resize(expanded.find('\0'));
    return expanded;
}

} // namespace

RegistryKey::RegistryKey(HKEY parent, const std::string& name, REGSAM access) {
    if (RegOpenKeyExA(parent, name.c_str(), 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
}

RegistryKey::~RegistryKey() {
    if (key_) RegCloseKey(key_);
}

std::string RegistryKey::ReadString(const std::string& name) const {
    DWORD type = 0;
    DWORD size = 0;
    if (!key_ ||
        RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return "";
    std::string value(size + 1, '\0');
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS)
        return "";
    // A stored value need not end in a NUL; it ends at its first one.
    value.resize(value.find('\0'));
    return type == REG_EXPAND_SZ ? Expanded(value) : value;
}

std::vector<std::string> RegistryKey::ValueNames() const {
    std::vector<std::string> names;
    DWORD count = 0;
    DWORD longest = 0;
    if (!key_ || RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  &count, &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::string name(2 * longest + 1, '\0'); // characters, each up to two bytes
    for (DWORD index = 0; index < count; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueA(key_, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
            names.push_back(name.substr(0, length));
    }
    return names;
}

void DeleteKeyTree(HKEY parent, const std::string& name) {
    // The key is closed again before it is deleted from its parent.
    if (RegistryKey key(parent, name, KEY_ALL_ACCESS); key) DeleteSubKeys(key.get());
    RegDeleteKeyA(parent, name.c_str());
}
