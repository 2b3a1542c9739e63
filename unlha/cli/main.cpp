// The unlha command: extracts, tests and lists LHA archives with the library's command syntax.
#include "CommandLine.h"
#include "FileSystem.h"
#include "Job.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage = "usage: unlha x|e|t|l [-+] [-q] ARCHIVE [FOLDER]";

// The report goes to standard output, errors to standard error, one line each.
class ConsoleObserver final : public lha::Observer {
public:
    explicit ConsoleObserver(bool showReport) : showReport_(showReport) {}

    void report(std::string_view line) override {
        if (!showReport_) return;
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
    void error(std::string_view line) override {
        std::fflush(stdout);
        std::fprintf(stderr, "unlha: %.*s\n", static_cast<int>(line.size()), line.data());
    }
    void progress(std::string_view, std::uint64_t, std::uint64_t) override {}
    bool cancelled() override { return false; }

private:
    bool showReport_;
};

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    lha::Command command;
    std::string error;
    if (const lha::Status status = lha::parseCommand(arguments, command, error);
        status != lha::Status::Ok) {
        std::fprintf(stderr, "unlha: %s (%s)\n", error.c_str(), kUsage);
        return static_cast<int>(status);
    }
    static char outputBuffer[64 * 1024];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    ConsoleObserver observer(!command.quiet || command.job.action == lha::Action::List);
    const auto fileSystem = lha::makeFileSystem();
    const lha::Status status = lha::runJob(command.job, *fileSystem, observer);
    std::fflush(stdout);
    return static_cast<int>(status);
}
