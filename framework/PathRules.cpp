// Double-byte aware path rules.
#include "PathRules.h"

#include <windows.h>

#include <cstring>

bool IsCharStart(const std::string& text, size_t index) {
    // Walk from the start: only a left-to-right scan knows which bytes are lead bytes.
    size_t at = 0;
    while (at < index)
        at += IsDBCSLeadByte(static_cast<BYTE>(text[at])) ? 2 : 1;
    return at == index;
}

size_t LastDelimiter(const std::string& text, const char* delimiters) {
    size_t found = std::string::npos;
    for (size_t at = 0; at < text.size();) {
        const BYTE value = static_cast<BYTE>(text[at]);
        if (IsDBCSLeadByte(value)) {
            at += 2;
        } else {
            if (value != 0 && std::strchr(delimiters, value)) found = at;
            ++at;
        }
    }
    return found;
}

size_t CharCount(const std::string& text) {
    size_t count = 0;
    for (size_t at = 0; at < text.size(); ++count)
        at += IsDBCSLeadByte(static_cast<BYTE>(text[at])) ? 2 : 1;
    return count;
}

std::string LastChar(const std::string& text) {
    size_t start = 0;
    for (size_t at = 0; at < text.size();) {
        start = at;
        at += IsDBCSLeadByte(static_cast<BYTE>(text[at])) ? 2 : 1;
    }
    return text.substr(start);
}

std::string AddBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\' && IsCharStart(path, path.size() - 1)) return path;
    return path + "\\";
}

std::string ExtractFilePath(const std::string& path) {
    return path.substr(0, LastDelimiter(path, "\\:") + 1);
}

std::string ExtractFileName(const std::string& path) {
    return path.substr(LastDelimiter(path, "\\:") + 1);
}

std::string ExtractFileDir(const std::string& path) {
    const size_t at = LastDelimiter(path, "\\:");
    if (at == std::string::npos) return "";
    const bool afterDelimiter =
        at > 0 && (path[at - 1] == '\\' || path[at - 1] == ':') && IsCharStart(path, at - 1);
    const bool dropSeparator = path[at] == '\\' && at > 0 && !afterDelimiter;
    return path.substr(0, dropSeparator ? at : at + 1);
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const size_t at = LastDelimiter(path, ".\\:");
    if (at == std::string::npos || path[at] != '.') return path + extension;
    return path.substr(0, at) + extension;
}
