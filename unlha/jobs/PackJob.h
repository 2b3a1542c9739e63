// Packing files and folders into a new archive, the `a` command of the fronts, and checking an
// archive against what was written into it.
//   a [-q] [-lh5|-lh6|-lh7] [-best] ARCHIVE PATH...
// -q leaves out the line per file; -lh5 (the default), -lh6 and -lh7 choose the method; -best
// packs smaller, more slowly.
#pragma once

#include "ArchiveWriter.h"
#include "Encoder.h"
#include "FileSystem.h"
#include "Job.h"

#include <string>
#include <vector>

namespace lha {

struct PackJob {
    std::string archive; // the archive to make; one that exists is not replaced
    // What goes into it: one folder alone gives what it holds, stored from the archive's top;
    // otherwise each file is stored under its own name and each folder, with what it holds,
    // under its own name.
    std::vector<std::string> paths;
    std::string method = "-lh5-"; // a method canEncode() accepts
    Encoder::Effort effort = Encoder::Effort::Normal;
    bool caseless = false; // refuse names that differ only in case, as Windows would mix them up
    // Refuse stored paths longer than this many bytes, separators included.
    std::size_t longestPath = static_cast<std::size_t>(-1);
    bool listFiles = true; // report a line per file and folder
};

struct PackCommand {
    PackJob job;
    bool quiet = false; // -q
};

// Parses the arguments that follow the command letter; BadCommand with `error` set when they
// do not fit the syntax.
Status parsePackCommand(const std::vector<std::string>& arguments, PackCommand& command,
                        std::string& error);

// Packs what job.paths name into a new archive, the paths in their order and what a folder
// holds in name order. Paths and names are checked first and every one that cannot be stored is
// reported (a path that is not there (ReadFailed), no code page 932 form, a name Windows cannot
// use, not a file or folder, two paths stored under the same name, with job.caseless two
// names that differ only in case, a path longer than job.longestPath); then nothing is written
// (RefusedPath). The archive is written
// under a temporary name and put in place once whole. `written` receives what went into it.
Status runPackJob(const PackJob& job, FileSystem& fileSystem, Observer& observer,
                  std::vector<WrittenEntry>& written);

// Decodes every entry of `archive` and checks it against `written`: the same entries in the
// same order, every file whole and with its CRC. BrokenData when it differs.
Status checkArchive(Input& archive, const std::vector<WrittenEntry>& written, Observer& observer);

// Why Windows or the archive reader would not take this name (code page 932 bytes) as one
// file or folder name; null when it is fine.
const char* refusedName(const std::string& name);

} // namespace lha
