// Full paths from GetFullPathNameA, which also steps over double-byte characters.
#include "FullPath.h"

#include <windows.h>

namespace mkdisks {

std::string fullPath(const std::string& path) {
    std::string full(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return path;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

} // namespace mkdisks
