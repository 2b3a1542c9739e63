// File names as UTF-16, as CD images (Joliet) and floppy images (long names) store them.
#pragma once

#include <string>

namespace mkdisks {

// The name as the system gives it (UTF-8 on POSIX, the ANSI code page on Windows) in UTF-16;
// false when it has no such form.
bool toUtf16(const std::string& name, std::u16string& wide);

} // namespace mkdisks
