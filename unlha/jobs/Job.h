// One run of the library as the fronts ask for it: extract, test or list an archive.
#pragma once

#include "FileSystem.h"
#include "Status.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lha {

enum class Action {
    Extract,     // x: files into their stored folders under the destination
    ExtractFlat, // e: files straight into the destination, folders dropped
    Test,        // t: decode and check every file, write nothing
    List,        // l: show the entries
};

struct Job {
    Action action = Action::Extract;
    std::string archive;     // path of the archive
    std::string destination; // folder to extract into; created when missing
};

// What a front shows while the job runs.
class Observer {
public:
    virtual ~Observer() = default;
    // One line of the report of what was done, without line break.
    virtual void report(std::string_view line) = 0;
    // One line saying what failed, without line break.
    virtual void error(std::string_view line) = 0;
    // Work moved on: `done` of `total` archive bytes are behind, now in `entry`. Called for
    // each entry and about once per megabyte within big files.
    virtual void progress(std::string_view entry, std::uint64_t done, std::uint64_t total) = 0;
    // Asked before each entry; true stops the job with Cancelled.
    virtual bool cancelled() = 0;
};

// Runs the job to its end, going on after a failed entry where the archive allows it.
// Returns Ok only when every entry was done and its data verified; otherwise the status of
// the first failure (Cancelled when the user stopped the job).
Status runJob(const Job& job, FileSystem& fileSystem, Observer& observer);

} // namespace lha
