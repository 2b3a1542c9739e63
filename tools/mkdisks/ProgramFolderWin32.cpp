// The running program's folder from GetModuleFileNameA, split where a single-byte backslash
// stands (a double-byte character's trail byte may be 0x5C).
#include "ProgramFolder.h"

#include <windows.h>

namespace mkdisks {

std::string programFolder() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return {};
    std::size_t lastSeparator = 0;
    for (DWORD i = 0; i < length; ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < length)
            ++i;
        else if (path[i] == '\\')
            lastSeparator = i;
    }
    return std::string(path, lastSeparator);
}

} // namespace mkdisks
