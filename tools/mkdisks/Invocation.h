// How mkdisks was started: its arguments, and its own folder, where it looks for Setup.exe and
// UNLHA32.DLL.
#pragma once

#include <string>
#include <vector>

namespace mkdisks {

// The arguments after the program's name.
std::vector<std::string> commandArguments(int argc, char** argv);
// Where Setup.exe and UNLHA32.DLL are taken from without --programs: the folder of the running
// program (on POSIX the Windows build of its tree when they are not there); empty when the
// system does not tell.
std::string programFolder();

} // namespace mkdisks
