// The command syntax shared by UNLHA32.DLL and the unlha command:
//   COMMAND [-SWITCH...] ARCHIVE [FOLDER]
// COMMAND is x (extract with folders), e (extract without folders), t (test) or l (list).
// Switches: -+ takes the library's defaults (there are no user settings to read);
//           -q is quiet: no progress window, no line per file in the report.
// FOLDER (x and e only) defaults to the current folder.
#pragma once

#include "Job.h"
#include "Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace lha {

struct Command {
    Job job;
    bool quiet = false; // -q
};

// Splits a command line at blanks. Double quotes group blanks into an argument and are
// dropped; a backslash is an ordinary character, so "C:\Games\" ends in a backslash.
std::vector<std::string> splitCommandLine(std::string_view line);

// Parses the arguments; BadCommand with `error` set when they do not fit the syntax.
Status parseCommand(const std::vector<std::string>& arguments, Command& command,
                    std::string& error);

} // namespace lha
