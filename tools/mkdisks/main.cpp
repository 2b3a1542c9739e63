// mkdisks: makes the disk set that Setup installs a game from (see Options.h for the syntax).
// Progress goes to a terminal on standard error, one line per step to standard output.
#include "Interrupt.h"
#include "Invocation.h"
#include "MakeDisks.h"
#include "Options.h"

#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace {

class Console final : public lha::Observer {
public:
    explicit Console(bool terminal) : terminal_(terminal) {}

    void report(std::string_view line) override {
        clearProgress();
        std::printf("%.*s\n", static_cast<int>(line.size()), line.data());
        std::fflush(stdout);
    }
    void error(std::string_view line) override {
        // After an interrupt the failures are its consequences; main says what happened.
        if (lha::interrupted()) return;
        clearProgress();
        std::fprintf(stderr, "mkdisks: %.*s\n", static_cast<int>(line.size()), line.data());
    }
    void progress(std::string_view entry, std::uint64_t done, std::uint64_t total) override {
        if (!terminal_) return;
        // A few redraws a second are enough to see it move.
        const auto now = std::chrono::steady_clock::now();
        if (shown_ && now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        const std::string_view tail = entry.size() > 60 ? entry.substr(entry.size() - 60) : entry;
        std::fprintf(stderr, "\r%3d%%  %-60.*s", percent, static_cast<int>(tail.size()),
                     tail.data());
        shown_ = true;
    }
    bool cancelled() override { return lha::interrupted(); }

    // Takes the progress line off the terminal.
    void clearProgress() {
        if (!shown_) return;
        std::fprintf(stderr, "\r%66s\r", "");
        shown_ = false;
    }

private:
    bool terminal_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_;
};

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = mkdisks::commandArguments(argc, argv);
    mkdisks::Options options;
    std::string error;
    if (!mkdisks::parseOptions(arguments, options, error)) {
        std::fprintf(stderr, "mkdisks: %s (see --help)\n", error.c_str());
        return static_cast<int>(lha::Status::BadCommand);
    }
    if (options.help) {
        std::fputs(mkdisks::kUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::puts(mkdisks::kVersion);
        return 0;
    }
    if (options.programs.empty()) {
        options.programs = mkdisks::programFolder();
        std::printf("programs from %s\n", options.programs.c_str());
        std::fflush(stdout);
    }
    Console console(isatty(fileno(stderr)) != 0);
    const auto fileSystem = lha::makeFileSystem();
    lha::catchInterrupts();
    const lha::Status status = mkdisks::makeDisks(options, *fileSystem, console);
    if (status == lha::Status::Cancelled) {
        console.clearProgress();
        std::fputs("mkdisks: interrupted; what this run had written is removed\n", stderr);
        return static_cast<int>(lha::Status::Cancelled);
    }
    return static_cast<int>(status);
}
