// Text formatting and conversion, files and folders.
#include "SysUtils.h"

#include "Handle.h"
#include "PathRules.h"

#include <windows.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>

int32_t StrToIntDef(const std::string& text, int32_t fallback) {
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    bool hex = false;
    if (at < text.size() && text[at] == '$') {
        hex = true;
        ++at;
    } else if (at + 1 < text.size() && text[at] == '0' &&
               (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        hex = true;
        at += 2;
    }
    if (at == text.size()) return fallback;
    uint64_t value = 0;
    for (; at < text.size(); ++at) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (hex && std::isxdigit(c)) {
            value = value * 16 + (std::isdigit(c) ? c - '0' : (std::tolower(c) - 'a' + 10));
            if (value > 0xFFFFFFFFu) return fallback;
        } else if (!hex && std::isdigit(c)) {
            value = value * 10 + (c - '0');
            if (value > (negative ? 0x80000000u : 0x7FFFFFFFu)) return fallback;
        } else {
            return fallback;
        }
    }
    const auto bits = static_cast<uint32_t>(negative ? 0 - value : value);
    return static_cast<int32_t>(bits);
}

bool ForceDirectories(const std::string& folder) {
    const std::string dir = ExtractFileDir(AddBackslash(folder));
    const DWORD attributes = GetFileAttributesA(dir.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return attributes & FILE_ATTRIBUTE_DIRECTORY;
    const std::string parent = ExtractFileDir(dir);
    if (!parent.empty() && parent != dir) ForceDirectories(parent);
    return CreateDirectoryA(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string Format(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list measure;
    va_copy(measure, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text(length > 0 ? length : 0, '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    va_end(arguments);
    return text;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int32_t FileAge(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    FILETIME local;
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !FileTimeToDosDateTime(&local, &date, &time))
        return -1;
    return static_cast<int32_t>((static_cast<uint32_t>(date) << 16) | time);
}

bool SetFileAge(const std::string& path, int32_t age) {
    FILETIME local, utc;
    const auto packed = static_cast<uint32_t>(age);
    if (!DosDateTimeToFileTime(static_cast<WORD>(packed >> 16), static_cast<WORD>(packed),
                               &local) ||
        !LocalFileTimeToFileTime(&local, &utc))
        return false;
    const TFileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() && SetFileTime(file.Get(), nullptr, nullptr, &utc);
}
