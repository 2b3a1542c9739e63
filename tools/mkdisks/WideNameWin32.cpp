// UTF-16 names from the ANSI code page that the A functions name files in.
#include "WideName.h"

#include <windows.h>

namespace mkdisks {

bool toUtf16(const std::string& name, std::u16string& wide) {
    wide.clear();
    if (name.empty()) return true;
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(),
                                           static_cast<int>(name.size()), nullptr, 0);
    if (length <= 0) return false;
    std::wstring converted(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()),
                        converted.data(), length);
    wide.assign(converted.begin(), converted.end());
    return true;
}

} // namespace mkdisks
