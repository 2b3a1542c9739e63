// INI file access.
#include "IniFiles.h"

#include "Errors.h"
#include "SysUtils.h"

#include <windows.h>

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
    char buffer[2048];
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                                                  buffer, sizeof buffer, fileName_.c_str());
    return std::string(buffer, length);
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                              int32_t fallback) const {
    return StrToIntDef(ReadString(section, key, ""), fallback);
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) const {
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName_.c_str()))
        throw EIniFileException(fileName_);
}
