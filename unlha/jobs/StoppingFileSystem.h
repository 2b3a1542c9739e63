// A file system that passes every call on until the job is cancelled: from then on reads and
// writes of the files it opened fail with Cancelled, so that the job stops within the file it
// is at, at its next block, and removes what it had half written as after any failure.
#pragma once

#include "FileSystem.h"
#include "Job.h"

#include <string>
#include <vector>

namespace lha {

class StoppingFileSystem : public FileSystem {
public:
    // `observer` tells when the job is cancelled; it is asked once per read or write.
    StoppingFileSystem(FileSystem& inner, Observer& observer)
        : inner_(inner), observer_(observer) {}

    char separator() const override { return inner_.separator(); }
    std::string join(const std::string& folder, const std::string& name) const override {
        return inner_.join(folder, name);
    }
    bool acceptsName(const std::string& name) const override { return inner_.acceptsName(name); }
    Status openArchive(const std::string& path, std::unique_ptr<Input>& input) override;
    Status makeFolders(const std::string& path, std::vector<std::string>& made) override {
        return inner_.makeFolders(path, made);
    }
    Status makeFolder(const std::string& path) override { return inner_.makeFolder(path); }
    Status createFile(const std::string& path, std::unique_ptr<OutputFile>& file,
                      bool& existed) override;
    Status replaceFile(const std::string& from, const std::string& to) override {
        return inner_.replaceFile(from, to);
    }
    void removeFile(const std::string& path) override { inner_.removeFile(path); }
    void removeFolder(const std::string& path) override { inner_.removeFolder(path); }
    Status listFolder(const std::string& path, std::vector<FolderItem>& items) override {
        return inner_.listFolder(path, items);
    }
    Status examine(const std::string& path, FolderItem& item) override {
        return inner_.examine(path, item);
    }
    bool toArchiveName(const std::string& name, std::string& stored) const override {
        return inner_.toArchiveName(name, stored);
    }
    std::string fromArchiveName(const std::string& stored) const override {
        return inner_.fromArchiveName(stored);
    }
    Status createArchive(const std::string& path, std::unique_ptr<ArchiveFile>& file,
                         bool& existed) override;

private:
    FileSystem& inner_;
    Observer& observer_;
};

} // namespace lha
