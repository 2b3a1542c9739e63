// The file system of one mkdisks run: it passes every call on and keeps a record of the files
// and folders the run creates, so that a run that fails or is interrupted removes exactly
// those and nothing that was there before. Once the run is cancelled, reads and writes fail
// with Cancelled (see StoppingFileSystem), so that the run stops at its next step.
#pragma once

#include "StoppingFileSystem.h"

#include <string>
#include <vector>

namespace mkdisks {

class TrackedFileSystem final : public lha::StoppingFileSystem {
public:
    // `observer` tells when the run is cancelled.
    using StoppingFileSystem::StoppingFileSystem;

    // Removes the files this run created and that are still there, then the folders it
    // created, deepest first, each only when it is empty.
    void removeCreated();

    lha::Status makeFolders(const std::string& path, std::vector<std::string>& made) override;
    lha::Status makeFolder(const std::string& path) override;
    lha::Status createFile(const std::string& path, std::unique_ptr<lha::OutputFile>& file,
                           bool& existed) override;
    lha::Status replaceFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    void removeFolder(const std::string& path) override;
    lha::Status createArchive(const std::string& path, std::unique_ptr<lha::ArchiveFile>& file,
                              bool& existed) override;

private:
    std::vector<std::string> files_;   // created and not removed since, in order
    std::vector<std::string> folders_; // created, outermost first
};

} // namespace mkdisks
