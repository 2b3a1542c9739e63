// The file system of the Windows build: ANSI calls, names in the system's code page.
#pragma once

#include "FileSystem.h"

namespace lha {

class Win32FileSystem final : public FileSystem {
public:
    // While it lives, a drive without its medium fails the call that touches it, which reports
    // the failure, instead of raising the system's "no disk" box over the program.
    Win32FileSystem();
    ~Win32FileSystem() override;
    Win32FileSystem(const Win32FileSystem&) = delete;
    Win32FileSystem& operator=(const Win32FileSystem&) = delete;

    char separator() const override { return '\\'; }
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
    // Names stay in the system's code page, as Setup's names reach the files.
    std::string fromArchiveName(const std::string& stored) const override { return stored; }
    Status createArchive(const std::string& path, std::unique_ptr<ArchiveFile>& file,
                         bool& existed) override;

private:
    unsigned int previousErrorMode_; // the process's error mode, given back at the end
};

} // namespace lha
