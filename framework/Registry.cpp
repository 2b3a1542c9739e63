// Registry access.
#include "Registry.h"

#include "Errors.h"

#include <vector>

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    CloseKey();
    const LONG result =
        canCreate ? RegCreateKeyExA(RootKey, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    access_, nullptr, &key_, nullptr)
                  : RegOpenKeyExA(RootKey, key.c_str(), 0, access_, &key_);
    if (result != ERROR_SUCCESS) key_ = nullptr;
    return key_ != nullptr;
}

void TRegistry::CloseKey() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

bool TRegistry::ValueExists(const std::string& name) const {
    return key_ && RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                       ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(const std::string& name) const {
    DWORD type = REG_NONE;
    if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, nullptr) != 0)
        return TRegDataType::rdUnknown;
    switch (type) {
    case REG_SZ: return TRegDataType::rdString;
    case REG_EXPAND_SZ: return TRegDataType::rdExpandString;
    case REG_DWORD: return TRegDataType::rdInteger;
    case REG_BINARY: return TRegDataType::rdBinary;
    }
    return TRegDataType::rdUnknown;
}

std::string TRegistry::ReadString(const std::string& name) const {
    DWORD type = REG_NONE, size = 0;
    if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != 0)
        return "";
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw InvalidRegType(name);
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                         &size) != 0)
        return "";
    return std::string(data.data()); // up to the first NUL
}

int32_t TRegistry::ReadInteger(const std::string& name) const {
    DWORD type = REG_NONE, value = 0, size = sizeof value;
    if (!key_ ||
        RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != 0 ||
        type != REG_DWORD)
        throw InvalidRegType(name);
    return static_cast<int32_t>(value);
}

void TRegistry::WriteString(const std::string& name, const std::string& value) const {
    if (!key_ ||
        RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        throw RegSetDataFailed(name);
}
