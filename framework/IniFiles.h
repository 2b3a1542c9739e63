// INI files through the system's private-profile functions.
#pragma once
#include <cstdint>
#include <string>

class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
    const std::string& FileName() const { return fileName_; }

    // A value of up to 2047 bytes; a missing file, section or key gives fallback.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    // A value converted by StrToIntDef.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const;
    // Raises EIniFileException when the value cannot be written.
    void WriteString(const std::string& section, const std::string& key,
                     const std::string& value) const;

private:
    std::string fileName_;
};
