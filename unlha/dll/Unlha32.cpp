// UNLHA32.DLL: the Unlha() export, glue between its callers and the codec's job.
#include "Unlha32.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "Job.h"
#include "ProgressWindow.h"

#include <cstring>
#include <memory>

namespace {

using lha::Status;

// The public codes are the codec's statuses.
static_assert(UNLHA_OK == static_cast<int>(Status::Ok));
static_assert(UNLHA_NOT_ARCHIVE == static_cast<int>(Status::NotArchive));
static_assert(UNLHA_BROKEN_DATA == static_cast<int>(Status::BrokenData));
static_assert(UNLHA_UNSUPPORTED_METHOD == static_cast<int>(Status::Unsupported));
static_assert(UNLHA_WRITE_FAILED == static_cast<int>(Status::WriteFailed));
static_assert(UNLHA_REFUSED_PATH == static_cast<int>(Status::RefusedPath));
static_assert(UNLHA_CANCELLED == static_cast<int>(Status::Cancelled));
static_assert(UNLHA_BAD_COMMAND == static_cast<int>(Status::BadCommand));
static_assert(UNLHA_READ_FAILED == static_cast<int>(Status::ReadFailed));
static_assert(UNLHA_OUT_OF_MEMORY == static_cast<int>(Status::OutOfMemory));

// Keeps the log, no longer than the caller's buffer, and drives the progress window.
class DllObserver final : public lha::Observer {
public:
    DllObserver(std::size_t logLimit, ProgressWindow* window) : limit_(logLimit), window_(window) {}

    void report(std::string_view line) override { append("", line); }
    void error(std::string_view line) override { append("error: ", line); }
    void progress(std::string_view entry, std::uint64_t done, std::uint64_t total) override {
        if (window_ != nullptr) window_->update(entry, done, total);
    }
    bool cancelled() override { return window_ != nullptr && window_->cancelled(); }

    const std::string& log() const { return log_; }

private:
    void append(std::string_view prefix, std::string_view line) {
        if (log_.size() >= limit_) return;
        log_.append(prefix).append(line).append("\r\n");
    }

    std::size_t limit_;
    ProgressWindow* window_;
    std::string log_;
};

// The log as far as it fits the caller's buffer, cut before a double-byte character that
// would not fit whole.
void copyLog(const std::string& log, char* output, DWORD outputSize) {
    if (output == nullptr || outputSize == 0) return;
    std::size_t length = 0;
    while (length < log.size()) {
        const bool pair = IsDBCSLeadByte(static_cast<BYTE>(log[length])) && length + 1 < log.size();
        const std::size_t next = length + (pair ? 2 : 1);
        if (next > outputSize - 1) break;
        length = next;
    }
    std::memcpy(output, log.data(), length);
    output[length] = '\0';
}

const char* titleOf(lha::Action action) {
    switch (action) {
    case lha::Action::Extract:
    case lha::Action::ExtractFlat: return "Extracting files";
    case lha::Action::Test: return "Testing files";
    case lha::Action::List: return "Listing files";
    }
    return "";
}

int run(HWND window, const char* commandLine, char* output, DWORD outputSize) {
    lha::Command command;
    std::string error;
    Status status =
        lha::parseCommand(lha::splitCommandLine(commandLine ? commandLine : ""), command, error);
    if (status != Status::Ok) {
        copyLog("error: " + error + "\r\n", output, outputSize);
        return static_cast<int>(status);
    }
    std::unique_ptr<ProgressWindow> progress;
    if (!command.quiet)
        progress = std::make_unique<ProgressWindow>(window, titleOf(command.job.action),
                                                    command.job.archive);
    DllObserver observer(output != nullptr ? outputSize : 0, progress.get());
    const auto fileSystem = lha::makeFileSystem();
    status = lha::runJob(command.job, *fileSystem, observer);
    progress.reset();
    copyLog(observer.log(), output, outputSize);
    return static_cast<int>(status);
}

} // namespace

extern "C" int WINAPI Unlha(HWND window, const char* commandLine, char* output, DWORD outputSize) {
    // No exception may cross into the caller; only allocations can throw here.
    try {
        return run(window, commandLine, output, outputSize);
    } catch (...) {
        return UNLHA_OUT_OF_MEMORY;
    }
}
