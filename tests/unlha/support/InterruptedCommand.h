// A command run natively and interrupted by a signal once it is at work, for the tests of how
// the commands wind down.
#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace lha::test {

struct Interrupted {
    bool atWork = false; // `atWork` held before the signal was sent
    bool ended = false;  // the command ended by itself within the limit after the signal
    int exitCode = -1;   // when it ended by exit
    std::string log;     // its standard output and error
};

// Runs `command` (the program's path, then its arguments) with both outputs to `log`, waits
// up to a minute for `atWork` to hold, sends `signal` and waits up to 30 seconds for the end
// (killing the command after that).
Interrupted runInterrupted(const std::vector<std::string>& command,
                           const std::filesystem::path& log, int signal,
                           const std::function<bool()>& atWork);

// True when the file is there and has data.
bool hasData(const std::filesystem::path& path);

} // namespace lha::test
