// The file system of one mkdisks run: it passes every call on and keeps a record of the files
// and folders the run creates, so that a run that fails or is interrupted removes exactly
// those and nothing that was there before. Once the run is cancelled, reads and writes fail
// with Cancelled, so that the run stops at its next step.
#pragma once

#include "FileSystem.h"
#include "Job.h"

#include <string>
#include <vector>

namespace mkdisks {

class TrackedFileSystem final : public lha::FileSystem {
public:
    // `observer` tells when the run is cancelled.
    TrackedFileSystem(lha::FileSystem& inner, lha::Observer& observer)
        : inner_(inner), observer_(observer) {}

    // Removes the files this run created and that are still there, then the folders it
    // created, deepest first, each only when it is empty.
    void removeCreated();

    char separator() const override { return inner_.separator(); }
    std::string join(const std::string& folder, const std::string& name) const override {
        return inner_.join(folder, name);
    }
    bool acceptsName(const std::string& name) const override { return inner_.acceptsName(name); }
    lha::Status openArchive(const std::string& path, std::unique_ptr<lha::Input>& input) override;
    lha::Status makeFolders(const std::string& path, std::vector<std::string>& made) override;
    lha::Status makeFolder(const std::string& path) override;
    lha::Status createFile(const std::string& path, std::unique_ptr<lha::OutputFile>& file,
                           bool& existed) override;
    lha::Status replaceFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    void removeFolder(const std::string& path) override;
    lha::Status listFolder(const std::string& path,
                           std::vector<lha::FolderItem>& items) override {
        return inner_.listFolder(path, items);
    }
    lha::Status examine(const std::string& path, lha::FolderItem& item) override {
        return inner_.examine(path, item);
    }
    bool toArchiveName(const std::string& name, std::string& stored) const override {
        return inner_.toArchiveName(name, stored);
    }
    std::string fromArchiveName(const std::string& stored) const override {
        return inner_.fromArchiveName(stored);
    }
    lha::Status createArchive(const std::string& path, std::unique_ptr<lha::ArchiveFile>& file,
                              bool& existed) override;

private:
    lha::FileSystem& inner_;
    lha::Observer& observer_;
    std::vector<std::string> files_;   // created and not removed since, in order
    std::vector<std::string> folders_; // created, outermost first
};

} // namespace mkdisks
