// Runs a job on an archive held in memory and records everything it reports and creates.
#pragma once

#include "Job.h"
#include "MemoryFileSystem.h"

#include <functional>
#include <string>
#include <vector>

namespace lha::test {

struct Outcome {
    Status status = Status::Ok;
    MemoryFileSystem fileSystem;
    std::vector<std::string> report;
    std::vector<std::string> errors;
};

// Runs `job` on `fileSystem`. `cancelAfter` entries are done before the job is cancelled
// (-1: never).
Outcome runOn(MemoryFileSystem fileSystem, const Job& job, int cancelAfter = -1);
// Runs `action` on `archiveBytes` (as "archive.lzh") into the folder "out".
Outcome runInMemory(const std::string& archiveBytes, Action action = Action::Extract,
                    int cancelAfter = -1);

} // namespace lha::test
