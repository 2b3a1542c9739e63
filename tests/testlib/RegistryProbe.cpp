// Registry helpers of the test bed.
#include "RegistryProbe.h"

#include <stdexcept>

namespace testbed {

namespace {

class Key {
public:
    Key(HKEY root, const std::string& path, bool create) {
        const LONG result = create ? RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0,
                                                     KEY_ALL_ACCESS, nullptr, &key_, nullptr)
                                   : RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key_);
        if (result != ERROR_SUCCESS) key_ = nullptr;
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

void Check(LONG result, const std::string& what) {
    if (result != ERROR_SUCCESS) throw std::runtime_error("registry: cannot " + what);
}

} // namespace

std::optional<std::string> RegString(HKEY root, const std::string& key, const std::string& value) {
    Key open(root, key, false);
    if (!open) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(open.get(), value.c_str(), nullptr, &type, nullptr, &size) != 0 ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::string data(size, '\0');
    RegQueryValueExA(open.get(), value.c_str(), nullptr, nullptr,
                     reinterpret_cast<BYTE*>(data.data()), &size);
    data.resize(data.find('\0') == std::string::npos ? size : data.find('\0'));
    return data;
}

bool RegKeyExists(HKEY root, const std::string& key) {
    return bool(Key(root, key, false));
}

bool RegValueExists(HKEY root, const std::string& key, const std::string& value) {
    Key open(root, key, false);
    return open &&
           RegQueryValueExA(open.get(), value.c_str(), nullptr, nullptr, nullptr, nullptr) == 0;
}

void RegSetString(HKEY root, const std::string& key, const std::string& value,
                  const std::string& data) {
    Key open(root, key, true);
    Check(RegSetValueExA(open.get(), value.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>(data.size() + 1)),
          "set " + key + "\\" + value);
}

void RegSetDword(HKEY root, const std::string& key, const std::string& value, DWORD data) {
    Key open(root, key, true);
    Check(RegSetValueExA(open.get(), value.c_str(), 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&data), sizeof data),
          "set " + key + "\\" + value);
}

void RegDeleteValueIn(HKEY root, const std::string& key, const std::string& value) {
    Key open(root, key, false);
    if (open) RegDeleteValueA(open.get(), value.c_str());
}

void RegDeleteTree(HKEY root, const std::string& key) {
    RegDeleteTreeA(root, key.c_str());
    RegDeleteKeyA(root, key.c_str());
}

} // namespace testbed
