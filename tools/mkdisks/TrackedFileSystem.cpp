// Keeping the record of what a run created, and stopping its reads and writes once cancelled.
#include "TrackedFileSystem.h"

#include <algorithm>

namespace mkdisks {
namespace {

using lha::Status;

class StoppingInput final : public lha::Input {
public:
    StoppingInput(std::unique_ptr<lha::Input> inner, lha::Observer& observer)
        : inner_(std::move(inner)), observer_(observer) {}
    Status readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                  std::size_t& got) override {
        got = 0;
        if (observer_.cancelled()) return Status::Cancelled;
        return inner_->readAt(offset, buffer, size, got);
    }
    std::uint64_t size() const override { return inner_->size(); }

private:
    std::unique_ptr<lha::Input> inner_;
    lha::Observer& observer_;
};

class StoppingFile final : public lha::OutputFile {
public:
    StoppingFile(std::unique_ptr<lha::OutputFile> inner, lha::Observer& observer)
        : inner_(std::move(inner)), observer_(observer) {}
    Status write(const std::uint8_t* data, std::size_t size) override {
        return observer_.cancelled() ? Status::Cancelled : inner_->write(data, size);
    }
    Status finish(const lha::Timestamp& modified) override { return inner_->finish(modified); }

private:
    std::unique_ptr<lha::OutputFile> inner_;
    lha::Observer& observer_;
};

class StoppingArchive final : public lha::ArchiveFile {
public:
    StoppingArchive(std::unique_ptr<lha::ArchiveFile> inner, lha::Observer& observer)
        : inner_(std::move(inner)), observer_(observer) {}
    Status write(const std::uint8_t* data, std::size_t size) override {
        return observer_.cancelled() ? Status::Cancelled : inner_->write(data, size);
    }
    Status seek(std::uint64_t position) override { return inner_->seek(position); }
    Status finish() override { return inner_->finish(); }

private:
    std::unique_ptr<lha::ArchiveFile> inner_;
    lha::Observer& observer_;
};

void forget(std::vector<std::string>& paths, const std::string& path) {
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
}

} // namespace

void TrackedFileSystem::removeCreated() {
    for (auto file = files_.rbegin(); file != files_.rend(); ++file)
        inner_.removeFile(*file);
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
        inner_.removeFolder(*folder);
    files_.clear();
    folders_.clear();
}

Status TrackedFileSystem::openArchive(const std::string& path,
                                      std::unique_ptr<lha::Input>& input) {
    std::unique_ptr<lha::Input> opened;
    const Status status = inner_.openArchive(path, opened);
    if (status == Status::Ok) input = std::make_unique<StoppingInput>(std::move(opened), observer_);
    return status;
}

Status TrackedFileSystem::makeFolders(const std::string& path, std::vector<std::string>& made) {
    const Status status = inner_.makeFolders(path, made);
    folders_.insert(folders_.end(), made.begin(), made.end());
    return status;
}

Status TrackedFileSystem::makeFolder(const std::string& path) {
    // Ok also when the folder was there: only one that was not is the run's.
    lha::FolderItem item;
    const bool existed = inner_.examine(path, item) == Status::Ok;
    const Status status = inner_.makeFolder(path);
    if (status == Status::Ok && !existed) folders_.push_back(path);
    return status;
}

Status TrackedFileSystem::createFile(const std::string& path,
                                     std::unique_ptr<lha::OutputFile>& file, bool& existed) {
    std::unique_ptr<lha::OutputFile> created;
    const Status status = inner_.createFile(path, created, existed);
    if (status != Status::Ok) return status;
    files_.push_back(path);
    file = std::make_unique<StoppingFile>(std::move(created), observer_);
    return status;
}

Status TrackedFileSystem::createArchive(const std::string& path,
                                        std::unique_ptr<lha::ArchiveFile>& file, bool& existed) {
    std::unique_ptr<lha::ArchiveFile> created;
    const Status status = inner_.createArchive(path, created, existed);
    if (status != Status::Ok) return status;
    files_.push_back(path);
    file = std::make_unique<StoppingArchive>(std::move(created), observer_);
    return status;
}

Status TrackedFileSystem::replaceFile(const std::string& from, const std::string& to) {
    const Status status = inner_.replaceFile(from, to);
    if (status == Status::Ok && std::find(files_.begin(), files_.end(), from) != files_.end()) {
        forget(files_, from);
        forget(files_, to);
        files_.push_back(to);
    }
    return status;
}

void TrackedFileSystem::removeFile(const std::string& path) {
    inner_.removeFile(path);
    forget(files_, path);
}

void TrackedFileSystem::removeFolder(const std::string& path) {
    inner_.removeFolder(path);
    lha::FolderItem item;
    if (inner_.examine(path, item) != Status::Ok) forget(folders_, path);
}

} // namespace mkdisks
