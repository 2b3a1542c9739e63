// Registry access through the ANSI functions, one open key at a time.
#pragma once
#include <windows.h>

#include <string>

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry {
public:
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : access_(access) {}
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;
    ~TRegistry() { CloseKey(); }

    HKEY RootKey = HKEY_CURRENT_USER;
    // Opens key below RootKey with the access given at construction, creating it when asked.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();
    HKEY CurrentKey() const { return key_; }

    bool ValueExists(const std::string& name) const;
    TRegDataType GetDataType(const std::string& name) const;
    // A string or expandable string as stored, up to its first NUL; a missing value gives "";
    // another type raises the invalid-data-type error.
    std::string ReadString(const std::string& name) const;
    // A DWORD value; another type raises the invalid-data-type error.
    int32_t ReadInteger(const std::string& name) const;
    // Raises the registry write error naming the value when it cannot be set.
    void WriteString(const std::string& name, const std::string& value) const;

private:
    REGSAM access_;
    HKEY key_ = nullptr;
};
