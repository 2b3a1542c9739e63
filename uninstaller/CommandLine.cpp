// Splitting a command line into its arguments.
#include "CommandLine.h"

namespace {

// A byte-wise test is safe in a double-byte code page: a second byte is never below 0x40, so
// it is never taken for a blank, a control character or a double quote.
bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> arguments;
    size_t at = 0;
    for (;;) {
        while (at < commandLine.size() && IsSeparator(commandLine[at]))
            ++at;
        if (at == commandLine.size()) return arguments;
        std::string argument;
        bool quoted = false;
        for (; at < commandLine.size() && (quoted || !IsSeparator(commandLine[at])); ++at) {
            if (commandLine[at] == '"')
                quoted = !quoted;
            else
                argument += commandLine[at];
        }
        arguments.push_back(argument);
    }
}
