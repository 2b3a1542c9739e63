// The in-memory file system of the tests.
#include "MemoryFileSystem.h"

namespace lha::test {
namespace {

class MemoryFile final : public OutputFile {
public:
    MemoryFile(MemoryFileSystem& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
    Status write(const std::uint8_t* data, std::size_t size) override {
        written_ += size;
        if (written_ > owner_.maxFileSize) return Status::WriteFailed;
        if (owner_.keepContents)
            owner_.files[path_].append(reinterpret_cast<const char*>(data), size);
        return Status::Ok;
    }
    Status finish(const Timestamp& modified) override {
        owner_.times[path_] = modified;
        return Status::Ok;
    }

private:
    MemoryFileSystem& owner_;
    std::string path_;
    std::uint64_t written_ = 0;
};

class MemoryArchive final : public ArchiveFile {
public:
    explicit MemoryArchive(std::string& contents) : contents_(contents) {}
    Status write(const std::uint8_t* data, std::size_t size) override {
        if (contents_.size() < position_ + size) contents_.resize(position_ + size);
        contents_.replace(position_, size, reinterpret_cast<const char*>(data), size);
        position_ += size;
        return Status::Ok;
    }
    Status seek(std::uint64_t position) override {
        if (position > contents_.size()) return Status::WriteFailed;
        position_ = position;
        return Status::Ok;
    }
    Status finish() override {
        contents_.resize(position_);
        return Status::Ok;
    }

private:
    std::string& contents_;
    std::size_t position_ = 0;
};

} // namespace

std::string MemoryFileSystem::join(const std::string& folder, const std::string& name) const {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + '/' + name;
}

Status MemoryFileSystem::openArchive(const std::string& path, std::unique_ptr<Input>& input) {
    const auto found = archives.find(path);
    if (found == archives.end()) return Status::ReadFailed;
    input = std::make_unique<MemoryInput>(
        reinterpret_cast<const std::uint8_t*>(found->second.data()), found->second.size());
    return Status::Ok;
}

Status MemoryFileSystem::makeFolders(const std::string& path, std::vector<std::string>& made) {
    made.clear();
    if (folders.count(path) == 0) made.push_back(path);
    return makeFolder(path);
}

Status MemoryFileSystem::makeFolder(const std::string& path) {
    if (files.count(path) != 0) return Status::WriteFailed;
    folders.insert(path);
    return Status::Ok;
}

Status MemoryFileSystem::createFile(const std::string& path, std::unique_ptr<OutputFile>& file,
                                    bool& existed) {
    existed = files.count(path) != 0 || folders.count(path) != 0;
    if (existed || (!failingName.empty() && path.find(failingName) != std::string::npos))
        return Status::WriteFailed;
    files[path].clear();
    file = std::make_unique<MemoryFile>(*this, path);
    return Status::Ok;
}

Status MemoryFileSystem::replaceFile(const std::string& from, const std::string& to) {
    const auto found = files.find(from);
    if (found == files.end() || folders.count(to) != 0) return Status::WriteFailed;
    files[to] = std::move(found->second);
    files.erase(from);
    if (times.count(from) != 0) {
        times[to] = times[from];
        times.erase(from);
    }
    return Status::Ok;
}

void MemoryFileSystem::removeFile(const std::string& path) {
    files.erase(path);
    times.erase(path);
}

void MemoryFileSystem::removeFolder(const std::string& path) {
    std::vector<FolderItem> items;
    if (listFolder(path, items) == Status::Ok && items.empty()) folders.erase(path);
}

Status MemoryFileSystem::listFolder(const std::string& path, std::vector<FolderItem>& items) {
    items.clear();
    if (folders.count(path) == 0) return Status::ReadFailed;
    const std::string prefix = join(path, "");
    const auto below = [&](const std::string& entry) {
        return entry.size() > prefix.size() && entry.compare(0, prefix.size(), prefix) == 0 &&
               entry.find('/', prefix.size()) == std::string::npos;
    };
    for (const auto& [entry, contents] : archives)
        if (below(entry)) examine(entry, items.emplace_back());
    for (const std::string& entry : folders)
        if (below(entry)) examine(entry, items.emplace_back());
    return Status::Ok;
}

Status MemoryFileSystem::examine(const std::string& path, FolderItem& item) {
    item = FolderItem{};
    item.name = path.substr(path.rfind('/') + 1);
    if (folders.count(path) != 0) {
        item.kind = FolderItem::Kind::Folder;
        item.attributes = 0x10;
        return Status::Ok;
    }
    const auto found = archives.find(path);
    if (found == archives.end()) return Status::ReadFailed;
    item.kind = FolderItem::Kind::File;
    item.size = found->second.size();
    item.attributes = attributes.count(path) != 0 ? attributes.at(path) : 0x20;
    if (times.count(path) != 0) item.modified = times.at(path);
    return Status::Ok;
}

Status MemoryFileSystem::createArchive(const std::string& path, std::unique_ptr<ArchiveFile>& file,
                                       bool& existed) {
    existed = files.count(path) != 0 || archives.count(path) != 0 || folders.count(path) != 0;
    if (existed || (!failingName.empty() && path.find(failingName) != std::string::npos))
        return Status::WriteFailed;
    files[path].clear();
    file = std::make_unique<MemoryArchive>(files[path]);
    return Status::Ok;
}

} // namespace lha::test
