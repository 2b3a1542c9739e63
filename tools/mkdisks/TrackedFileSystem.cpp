// Keeping the record of what a run created.
#include "TrackedFileSystem.h"

#include <algorithm>

namespace mkdisks {
namespace {

using lha::Status;

void forget(std::vector<std::string>& paths, const std::string& path) {
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
}

} // namespace

void TrackedFileSystem::removeCreated() {
    for (auto file = files_.rbegin(); file != files_.rend(); ++file)
        StoppingFileSystem::removeFile(*file);
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
        StoppingFileSystem::removeFolder(*folder);
    files_.clear();
    folders_.clear();
}

Status TrackedFileSystem::makeFolders(const std::string& path, std::vector<std::string>& made) {
    const Status status = StoppingFileSystem::makeFolders(path, made);
    folders_.insert(folders_.end(), made.begin(), made.end());
    return status;
}

Status TrackedFileSystem::makeFolder(const std::string& path) {
    // Ok also when the folder was there: only one that was not is the run's.
    lha::FolderItem item;
    const bool existed = examine(path, item) == Status::Ok;
    const Status status = StoppingFileSystem::makeFolder(path);
    if (status == Status::Ok && !existed) folders_.push_back(path);
    return status;
}

Status TrackedFileSystem::createFile(const std::string& path,
                                     std::unique_ptr<lha::OutputFile>& file, bool& existed) {
    const Status status = StoppingFileSystem::createFile(path, file, existed);
    if (status == Status::Ok) files_.push_back(path);
    return status;
}

Status TrackedFileSystem::createArchive(const std::string& path,
                                        std::unique_ptr<lha::ArchiveFile>& file, bool& existed) {
    const Status status = StoppingFileSystem::createArchive(path, file, existed);
    if (status == Status::Ok) files_.push_back(path);
    return status;
}

Status TrackedFileSystem::replaceFile(const std::string& from, const std::string& to) {
    const Status status = StoppingFileSystem::replaceFile(from, to);
    if (status == Status::Ok && std::find(files_.begin(), files_.end(), from) != files_.end()) {
        forget(files_, from);
        forget(files_, to);
        files_.push_back(to);
    }
    return status;
}

void TrackedFileSystem::removeFile(const std::string& path) {
    StoppingFileSystem::removeFile(path);
    forget(files_, path);
}

void TrackedFileSystem::removeFolder(const std::string& path) {
    StoppingFileSystem::removeFolder(path);
    lha::FolderItem item;
    if (examine(path, item) != Status::Ok) forget(folders_, path);
}

} // namespace mkdisks
