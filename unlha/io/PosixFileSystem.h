// The file system of the native build: POSIX calls, names written and read as UTF-8.
#pragma once

#include "FileSystem.h"

namespace lha {

class PosixFileSystem final : public FileSystem {
public:
    char separator() const override { return '/'; }
    std::string join(const std::string& folder, const std::string& name) const override;
    bool acceptsName(const std::string& name) const override;
    Status openArchive(const std::string& path, std::unique_ptr<Input>& input) override;
    Status makeFolders(const std::string& path, std::vector<std::string>& made) override;
    Status makeFolder(const std::string& path) override;
    Status createFile(const std::string& path, std::unique_ptr<OutputFile>& file,
                      bool& existed) override;
    Status replaceFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    void removeFolder(const std::string& path) override;
    Status listFolder(const std::string& path, std::vector<FolderItem>& items) override;
    Status examine(const std::string& path, FolderItem& item) override;
    bool toArchiveName(const std::string& name, std::string& stored) const override;
    // UTF-8; a byte with no code page 932 meaning becomes "%XX", and a '%' that would read as
    // such an escape "%25".
    std::string fromArchiveName(const std::string& stored) const override;
    Status createArchive(const std::string& path, std::unique_ptr<ArchiveFile>& file,
                         bool& existed) override;
};

} // namespace lha
