// The unlha command: extracts, tests and lists LHA archives with the library's command syntax,
// and packs files and folders into a new archive. Interrupted, it removes what it had half
// written and ends with Cancelled.
#include "CommandLine.h"
#include "FileSystem.h"
#include "Interrupt.h"
#include "Job.h"
#include "PackJob.h"
#include "StoppingFileSystem.h"

#include <cstdio>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr const char* kUsage = "usage: unlha x|e|t|l [-+] [-q] ARCHIVE [FOLDER], "
                               "unlha a [-q] [-lh5|-lh6|-lh7] [-best] ARCHIVE PATH...";
constexpr const char* kVersion = "unlha 1.0";
constexpr const char* kHelp =
    "usage: unlha x|e|t|l [-+] [-q] ARCHIVE [FOLDER]\n"
    "       unlha a [-q] [-lh5|-lh6|-lh7] [-best] ARCHIVE PATH...\n"
    "\n"
    "commands:\n"
    "  x      extract files into their stored folders under FOLDER (default: the current one)\n"
    "  e      extract files straight into FOLDER, dropping their folders\n"
    "  t      test: decode every file and check its CRC, write nothing\n"
    "  l      list the entries: original and packed size, ratio (packed in percent of the\n"
    "         original), method, CRC, date and time, name; then the totals\n"
    "  a      pack PATH... into the new archive ARCHIVE. One folder alone: what it holds, from\n"
    "         the archive's top. Otherwise each file under its own name, and each folder with\n"
    "         what it holds under its own name. Two paths of one name, or a path that is not\n"
    "         there, are refused, and no archive is made\n"
    "switches:\n"
    "  -q     quiet: no line per file\n"
    "  -+     take the library's defaults (there are no user settings to read)\n"
    "  -lh5   pack with -lh5- (default); -lh6 and -lh7 use larger windows\n"
    "  -best  pack smaller, more slowly\n"
    "  --     the end of the switches, before an archive whose name begins with '-'\n"
    "  -h, --help, /? (on Windows)  this help;  --version  the version\n"
    "exit codes:\n"
    "  0 done   1 not an archive   2 broken data or CRC mismatch   3 unsupported method\n"
    "  4 cannot write   5 refused path   6 interrupted   7 bad command line\n"
    "  8 cannot read the archive or a file to pack   9 out of memory\n";

// True for the arguments that ask for the help.
bool asksForHelp(const std::string& argument) {
#ifdef _WIN32
    if (argument == "/?") return true;
#endif
    return argument == "-h" || argument == "--help";
}

// The report goes to standard output, errors to standard error, one line each. An interrupt
// cancels the job; what it then reports and fails are its consequences, which the one line
// of finish() stands for.
class ConsoleObserver final : public lha::Observer {
public:
    explicit ConsoleObserver(bool showReport) : showReport_(showReport) {}

    void report(std::string_view line) override {
        if (!showReport_ || lha::interrupted()) return;
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
    void error(std::string_view line) override {
        if (lha::interrupted()) return;
        std::fflush(stdout);
        std::fprintf(stderr, "unlha: %.*s\n", static_cast<int>(line.size()), line.data());
    }
    void progress(std::string_view, std::uint64_t, std::uint64_t) override {}
    bool cancelled() override { return lha::interrupted(); }

private:
    bool showReport_;
};

// The exit code of a job that ended with `status`; an interrupted job says so, and a report
// or listing that could not be written all (a full disk, a closed pipe) fails the job.
int finish(lha::Status status) {
    const bool reported = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    if (status != lha::Status::Ok && lha::interrupted()) {
        std::fputs("unlha: interrupted\n", stderr);
        return static_cast<int>(lha::Status::Cancelled);
    }
    if (!reported) {
        std::fputs("unlha: cannot write to standard output\n", stderr);
        if (status == lha::Status::Ok) status = lha::Status::WriteFailed;
    }
    return static_cast<int>(status);
}

int pack(const std::vector<std::string>& arguments) {
    lha::PackCommand command;
    std::string error;
    if (const lha::Status status = lha::parsePackCommand(arguments, command, error);
        status != lha::Status::Ok) {
        std::fprintf(stderr, "unlha: %s (%s)\n", error.c_str(), kUsage);
        return static_cast<int>(status);
    }
    ConsoleObserver observer(!command.quiet);
    const auto fileSystem = lha::makeFileSystem();
    lha::StoppingFileSystem stopping(*fileSystem, observer);
    std::vector<lha::WrittenEntry> written;
    lha::catchInterrupts();
    return finish(lha::runPackJob(command.job, stopping, observer, written));
}

// The arguments after the program's name. On Windows they are split anew from the raw command
// line by the rules UNLHA32.DLL uses, so that "C:\Games\" keeps its trailing backslash (the C
// runtime reads \" as a quote).
std::vector<std::string> commandArguments(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    std::vector<std::string> all = lha::splitCommandLine(GetCommandLineA());
    if (!all.empty()) all.erase(all.begin());
    return all;
#else
    return {argv + 1, argv + argc};
#endif
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = commandArguments(argc, argv);
    if (arguments.empty() || asksForHelp(arguments[0])) {
        std::fputs(kHelp, stdout);
        return static_cast<int>(arguments.empty() ? lha::Status::BadCommand : lha::Status::Ok);
    }
    if (arguments[0] == "--version") {
        std::puts(kVersion);
        return 0;
    }
    if (!arguments.empty() && (arguments[0] == "a" || arguments[0] == "A"))
        return pack({arguments.begin() + 1, arguments.end()});
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
    lha::StoppingFileSystem stopping(*fileSystem, observer);
    lha::catchInterrupts();
    return finish(lha::runJob(command.job, stopping, observer));
}
