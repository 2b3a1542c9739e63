// Running a command in a child process and interrupting it; every wait polls with a limit.
#include "InterruptedCommand.h"

#include "HostFiles.h"

#include <chrono>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lha::test {
namespace {

namespace fs = std::filesystem;

// True once `state` holds, checked every few milliseconds; false when `limit` passes first.
bool waitFor(const std::function<bool()>& state, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!state()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace

Interrupted runInterrupted(const std::vector<std::string>& command, const fs::path& log, int signal,
                           const std::function<bool()>& atWork) {
    std::vector<char*> arguments;
    for (const std::string& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    Interrupted result;
    const pid_t child = fork();
    if (child < 0) return result;
    if (child == 0) {
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        dup2(fd, 2);
        execv(arguments[0], arguments.data());
        _exit(127);
    }
    result.atWork = waitFor(atWork, std::chrono::seconds(60));
    kill(child, signal);
    int status = 0;
    result.ended = waitFor([&] { return waitpid(child, &status, WNOHANG) == child; },
                           std::chrono::seconds(30));
    if (!result.ended) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    if (result.ended && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.log = readFile(log);
    return result;
}

bool hasData(const fs::path& path) {
    std::error_code error;
    return fs::file_size(path, error) > 0 && !error;
}

} // namespace lha::test
