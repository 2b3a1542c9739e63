// Reading and preparing the test prefix's registry.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace testbed {

// A string value (REG_SZ or REG_EXPAND_SZ), or nothing when the key or value is missing.
std::optional<std::string> RegString(HKEY root, const std::string& key, const std::string& value);
bool RegKeyExists(HKEY root, const std::string& key);
bool RegValueExists(HKEY root, const std::string& key, const std::string& value);
void RegSetString(HKEY root, const std::string& key, const std::string& value,
                  const std::string& data);
void RegSetDword(HKEY root, const std::string& key, const std::string& value, DWORD data);
void RegDeleteValueIn(HKEY root, const std::string& key, const std::string& value);
void RegDeleteTree(HKEY root, const std::string& key);

} // namespace testbed
