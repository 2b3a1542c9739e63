// The folder of the running program, where mkdisks looks for Setup.exe and UNLHA32.DLL.
#pragma once

#include <string>

namespace mkdisks {

// Empty when the system does not tell.
std::string programFolder();

} // namespace mkdisks
