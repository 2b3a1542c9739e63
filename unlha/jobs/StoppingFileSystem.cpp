// The files of a stopping file system: each read or write first asks whether the job is
// cancelled.
#include "StoppingFileSystem.h"

namespace lha {
namespace {

class StoppingInput final : public Input {
public:
    StoppingInput(std::unique_ptr<Input> inner, Observer& observer)
        : inner_(std::move(inner)), observer_(observer) {}
    Status readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                  std::size_t& got) override {
        got = 0;
        if (observer_.cancelled()) return Status::Cancelled;
        return inner_->readAt(offset, buffer, size, got);
    }
    std::uint64_t size() const override { return inner_->size(); }

private:
    std::unique_ptr<Input> inner_;
    Observer& observer_;
};

class StoppingFile final : public OutputFile {
public:
    StoppingFile(std::unique_ptr<OutputFile> inner, Observer& observer)
        : inner_(std::move(inner)), observer_(observer) {}
    Status write(const std::uint8_t* data, std::size_t size) override {
        return observer_.cancelled() ? Status::Cancelled : inner_->write(data, size);
    }
    Status finish(const Timestamp& modified) override { return inner_->finish(modified); }

private:
    std::unique_ptr<OutputFile> inner_;
    Observer& observer_;
};

class StoppingArchive final : public ArchiveFile {
public:
    StoppingArchive(std::unique_ptr<ArchiveFile> inner, Observer& observer)
        : inner_(std::move(inner)), observer_(observer) {}
    Status write(const std::uint8_t* data, std::size_t size) override {
        return observer_.cancelled() ? Status::Cancelled : inner_->write(data, size);
    }
    Status seek(std::uint64_t position) override { return inner_->seek(position); }
    Status finish() override { return inner_->finish(); }

private:
    std::unique_ptr<ArchiveFile> inner_;
    Observer& observer_;
};

} // namespace

Status StoppingFileSystem::openArchive(const std::string& path, std::unique_ptr<Input>& input) {
    std::unique_ptr<Input> opened;
    const Status status = inner_.openArchive(path, opened);
    if (status == Status::Ok) input = std::make_unique<StoppingInput>(std::move(opened), observer_);
    return status;
}

Status StoppingFileSystem::createFile(const std::string& path, std::unique_ptr<OutputFile>& file,
                                      bool& existed) {
    std::unique_ptr<OutputFile> created;
    const Status status = inner_.createFile(path, created, existed);
    if (status == Status::Ok) file = std::make_unique<StoppingFile>(std::move(created), observer_);
    return status;
}

Status StoppingFileSystem::createArchive(const std::string& path,
                                         std::unique_ptr<ArchiveFile>& file, bool& existed) {
    std::unique_ptr<ArchiveFile> created;
    const Status status = inner_.createArchive(path, created, existed);
    if (status == Status::Ok)
        file = std::make_unique<StoppingArchive>(std::move(created), observer_);
    return status;
}

} // namespace lha
