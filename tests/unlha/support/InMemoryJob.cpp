// Running jobs in memory for tests.
#include "InMemoryJob.h"

namespace lha::test {
namespace {

class RecordingObserver final : public Observer {
public:
    RecordingObserver(Outcome& outcome, int cancelAfter)
        : outcome_(outcome), cancelAfter_(cancelAfter) {}
    void report(std::string_view line) override { outcome_.report.emplace_back(line); }
    void error(std::string_view line) override { outcome_.errors.emplace_back(line); }
    void progress(std::string_view, std::uint64_t, std::uint64_t) override {}
    bool cancelled() override { return cancelAfter_ >= 0 && asked_++ >= cancelAfter_; }

private:
    Outcome& outcome_;
    int cancelAfter_;
    int asked_ = 0;
};

} // namespace

Outcome runOn(MemoryFileSystem fileSystem, const Job& job, int cancelAfter) {
    Outcome outcome;
    outcome.fileSystem = std::move(fileSystem);
    RecordingObserver observer(outcome, cancelAfter);
    outcome.status = runJob(job, outcome.fileSystem, observer);
    return outcome;
}

Outcome runInMemory(const std::string& archiveBytes, Action action, int cancelAfter) {
    MemoryFileSystem fileSystem;
    fileSystem.archives["archive.lzh"] = archiveBytes;
    return runOn(std::move(fileSystem), {action, "archive.lzh", "out"}, cancelAfter);
}

} // namespace lha::test
