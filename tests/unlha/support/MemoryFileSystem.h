// A file system in memory for tests and the fuzz target: records what extraction creates, and
// serves folders of files to pack.
#pragma once

#include "FileSystem.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace lha::test {

class MemoryFileSystem final : public FileSystem {
public:
    std::map<std::string, std::string> archives; // path -> contents, for openArchive and listFolder
    std::map<std::string, std::string> files;    // path -> contents written
    std::map<std::string, Timestamp> times;      // path -> time given by finish(), or to list
    std::map<std::string, std::uint16_t> attributes; // path -> attributes to list, if not 0x20
    std::set<std::string> folders;
    std::string failingName;                // creating a file whose path contains this fails
    bool keepContents = true;               // false: only sizes are kept (the fuzz target)
    std::uint64_t maxFileSize = UINT64_MAX; // writing more fails (keeps fuzz runs short)

    char separator() const override { return '/'; }
    std::string join(const std::string& folder, const std::string& name) const override;
    bool acceptsName(const std::string&) const override { return true; }
    Status openArchive(const std::string& path, std::unique_ptr<Input>& input) override;
    Status makeFolders(const std::string& path, std::vector<std::string>& made) override;
    Status makeFolder(const std::string& path) override;
    Status createFile(const std::string& path, std::unique_ptr<OutputFile>& file,
                      bool& existed) override;
    Status replaceFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    void removeFolder(const std::string& path) override;
    // The files of `archives` and the `folders` right below `path`.
    Status listFolder(const std::string& path, std::vector<FolderItem>& items) override;
    Status examine(const std::string& path, FolderItem& item) override;
    // Names are taken as stored.
    bool toArchiveName(const std::string& name, std::string& stored) const override {
        stored = name;
        return true;
    }
    std::string fromArchiveName(const std::string& stored) const override { return stored; }
    Status createArchive(const std::string& path, std::unique_ptr<ArchiveFile>& file,
                         bool& existed) override;
};

} // namespace lha::test
