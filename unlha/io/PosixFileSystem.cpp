// POSIX implementation of the file system: pread for the archive, open/write/futimens/rename
// for the files, readdir/stat for the folders to pack, iconv for their names.
#include "PosixFileSystem.h"

#include "EntryPath.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace lha {
namespace {

class PosixInput final : public Input {
public:
    PosixInput(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    ~PosixInput() override { ::close(fd_); }
    PosixInput(const PosixInput&) = delete;
    PosixInput& operator=(const PosixInput&) = delete;

    Status readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                  std::size_t& got) override {
        got = 0;
        while (got < size) {
            const ssize_t n =
                ::pread(fd_, buffer + got, size - got, static_cast<off_t>(offset + got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return Status::ReadFailed;
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        return Status::Ok;
    }
    std::uint64_t size() const override { return size_; }

private:
    int fd_;
    std::uint64_t size_;
};

class PosixFile final : public OutputFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override {
        if (fd_ >= 0) ::close(fd_);
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    Status write(const std::uint8_t* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return Status::WriteFailed;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return Status::Ok;
    }

    Status finish(const Timestamp& modified) override {
        bool ok = true;
        std::int64_t seconds = 0;
        std::uint32_t nanoseconds = 0;
        if (modified.toUnix(seconds, nanoseconds)) {
            const timespec times[2] = {
                {0, UTIME_NOW}, {static_cast<time_t>(seconds), static_cast<long>(nanoseconds)}};
            ok = ::futimens(fd_, times) == 0;
        }
        ok = ::close(fd_) == 0 && ok;
        fd_ = -1;
        return ok ? Status::Ok : Status::WriteFailed;
    }

private:
    int fd_;
};

class PosixArchive final : public ArchiveFile {
public:
    explicit PosixArchive(int fd) : fd_(fd), file_(fd) {}
    PosixArchive(const PosixArchive&) = delete;
    PosixArchive& operator=(const PosixArchive&) = delete;

    Status write(const std::uint8_t* data, std::size_t size) override {
        return file_.write(data, size);
    }
    Status seek(std::uint64_t position) override {
        return ::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0 ? Status::WriteFailed
                                                                        : Status::Ok;
    }
    Status finish() override {
        const off_t end = ::lseek(fd_, 0, SEEK_CUR);
        const bool cut = end >= 0 && ::ftruncate(fd_, end) == 0;
        const Status closed = file_.finish(Timestamp{});
        return cut ? closed : Status::WriteFailed;
    }

private:
    int fd_;
    PosixFile file_; // writes and closes
};

// The MS-DOS attributes that describe a file of this mode: read-only when the owner may not
// write it.
std::uint16_t dosAttributes(const struct stat& info) {
    std::uint16_t attributes = S_ISDIR(info.st_mode) ? 0x10 : 0x20;
    if ((info.st_mode & S_IWUSR) == 0) attributes |= 0x01;
    return attributes;
}

// `text` in the code page `to`, converted from `from`; false when a character has no such form.
bool convert(const char* to, const char* from, const std::string& text, std::string& converted) {
    const iconv_t converter = ::iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    std::string in = text;
    std::string out(text.size() * 4 + 1, '\0');
    char* inAt = in.data();
    char* outAt = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const bool ok =
        ::iconv(converter, &inAt, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(converter);
    if (!ok || inLeft != 0) return false;
    converted.assign(out.data(), out.size() - outLeft);
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string escape(std::uint8_t byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return {'%', kHex[byte >> 4], kHex[byte & 0xF]};
}

// True when "%" followed by `high` and `low` is an escape fromArchiveName() writes.
bool escapedByte(char high, char low) {
    const int byte = hexDigit(high) * 16 + hexDigit(low);
    return hexDigit(high) >= 0 && hexDigit(low) >= 0 && (byte == '%' || byte >= 0x80);
}

// The kind, size, time and attributes of what `info` describes.
void describe(const struct stat& info, FolderItem& item) {
    if (S_ISREG(info.st_mode))
        item.kind = FolderItem::Kind::File;
    else if (S_ISDIR(info.st_mode))
        item.kind = FolderItem::Kind::Folder;
    item.size = item.kind == FolderItem::Kind::File ? static_cast<std::uint64_t>(info.st_size) : 0;
    // As Windows ticks, which hold times before 1970 and after 2106 as well; the archive's
    // 32-bit Unix time does not, and must not get them wrapped round.
    constexpr std::int64_t kSecondsFrom1601 = kWindowsTicksAt1970 / 10000000;
    const std::int64_t since1601 =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) + kSecondsFrom1601;
    if (since1601 >= 0 && since1601 < std::int64_t{1} << 40)
        item.modified = {Timestamp::Kind::Windows,
                         static_cast<std::uint64_t>(since1601) * 10000000 +
                             static_cast<std::uint64_t>(info.st_mtim.tv_nsec) / 100};
    item.attributes = dosAttributes(info);
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string PosixFileSystem::join(const std::string& folder, const std::string& name) const {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

bool PosixFileSystem::acceptsName(const std::string& name) const {
    // Only '/' and NUL matter to the kernel; checked parts contain neither.
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

Status PosixFileSystem::openArchive(const std::string& path, std::unique_ptr<Input>& input) {
    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer; it is refused below,
    // and reading a plain file ignores the flag.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Status::ReadFailed;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Status::ReadFailed;
    }
    input = std::make_unique<PosixInput>(fd, static_cast<std::uint64_t>(info.st_size));
    return Status::Ok;
}

Status PosixFileSystem::makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) return Status::Ok;
    struct stat info {};
    if (errno != EEXIST || ::lstat(path.c_str(), &info) != 0) return Status::WriteFailed;
    if (S_ISLNK(info.st_mode)) return Status::RefusedPath;
    return S_ISDIR(info.st_mode) ? Status::Ok : Status::WriteFailed;
}

Status PosixFileSystem::makeFolders(const std::string& path, std::vector<std::string>& made) {
    made.clear();
    for (std::size_t end = 0; end < path.size();) {
        const std::size_t slash = path.find('/', end + 1);
        end = slash == std::string::npos ? path.size() : slash;
        const std::string folder = path.substr(0, end);
        if (isFolder(folder)) continue;
        if (::mkdir(folder.c_str(), 0777) == 0)
            made.push_back(folder);
        else if (errno != EEXIST)
            return Status::WriteFailed;
    }
    return isFolder(path) ? Status::Ok : Status::WriteFailed;
}

Status PosixFileSystem::createFile(const std::string& path, std::unique_ptr<OutputFile>& file,
                                   bool& existed) {
    // O_EXCL: nothing that is there, not even a link, is opened.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    existed = fd < 0 && errno == EEXIST;
    if (fd < 0) return Status::WriteFailed;
    file = std::make_unique<PosixFile>(fd);
    return Status::Ok;
}

Status PosixFileSystem::replaceFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? Status::Ok : Status::WriteFailed;
}

void PosixFileSystem::removeFile(const std::string& path) {
    ::unlink(path.c_str());
}

void PosixFileSystem::removeFolder(const std::string& path) {
    ::rmdir(path.c_str());
}

Status PosixFileSystem::examine(const std::string& path, FolderItem& item) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return Status::ReadFailed;
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/')
        --end;
    const std::size_t slash = path.rfind('/', end - 1);
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    item = FolderItem{};
    item.name = path.substr(start, end - start);
    describe(info, item);
    return Status::Ok;
}

Status PosixFileSystem::listFolder(const std::string& path, std::vector<FolderItem>& items) {
    items.clear();
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) return Status::ReadFailed;
    Status status = Status::Ok;
    for (;;) {
        // readdir tells its failure only through errno.
        errno = 0;
        const dirent* found = ::readdir(folder);
        if (found == nullptr) {
            if (errno != 0) status = Status::ReadFailed;
            break;
        }
        const std::string name = found->d_name;
        if (name == "." || name == "..") continue;
        FolderItem item;
        item.name = name;
        struct stat info {};
        // A link is taken as what it points to, except a link to a folder, which could lead
        // back up the tree.
        if (::fstatat(::dirfd(folder), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            status = Status::ReadFailed;
            break;
        }
        const bool link = S_ISLNK(info.st_mode);
        if (link && ::fstatat(::dirfd(folder), name.c_str(), &info, 0) != 0) {
            items.push_back(item); // a dangling link
            continue;
        }
        describe(info, item);
        if (link && item.kind == FolderItem::Kind::Folder) item.kind = FolderItem::Kind::Other;
        items.push_back(item);
    }
    ::closedir(folder);
    return status;
}

bool PosixFileSystem::toArchiveName(const std::string& name, std::string& stored) const {
    // Names on this system are taken as UTF-8. The escapes fromArchiveName() writes stand for
    // their bytes, but only where the whole name reads back as given: a name that merely
    // contains something like "%E3" keeps it.
    std::string bytes;
    std::string text; // since the last escape
    bool escapes = false;
    bool converted = true;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '%' && i + 2 < name.size() && escapedByte(name[i + 1], name[i + 2])) {
            std::string part;
            converted = converted && convert("CP932", "UTF-8", text, part);
            bytes += part + static_cast<char>(hexDigit(name[i + 1]) * 16 + hexDigit(name[i + 2]));
            text.clear();
            escapes = true;
            i += 2;
        } else {
            text += name[i];
        }
    }
    std::string part;
    if (escapes && converted && convert("CP932", "UTF-8", text, part) &&
        fromArchiveName(bytes + part) == name) {
        stored = bytes + part;
        return true;
    }
    return convert("CP932", "UTF-8", name, stored);
}

std::string PosixFileSystem::fromArchiveName(const std::string& stored) const {
    // Most names are plain ASCII, which reads the same.
    if (std::all_of(stored.begin(), stored.end(), [](char c) { return c > 0 && c != '%'; }))
        return stored;
    std::string name;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(stored[i]);
        if (byte < 0x80) {
            const bool readsAsEscape =
                byte == '%' && i + 2 < stored.size() && escapedByte(stored[i + 1], stored[i + 2]);
            name += readsAsEscape ? "%25" : std::string_view(&stored[i], 1);
            continue;
        }
        std::string character;
        const std::size_t length = isShiftJisLeadByte(byte) && i + 1 < stored.size() ? 2 : 1;
        if (convert("UTF-8", "CP932", stored.substr(i, length), character)) {
            name += character;
            i += length - 1;
        } else {
            name += escape(byte);
        }
    }
    return name;
}

Status PosixFileSystem::createArchive(const std::string& path, std::unique_ptr<ArchiveFile>& file,
                                      bool& existed) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    existed = fd < 0 && errno == EEXIST;
    if (fd < 0) return Status::WriteFailed;
    file = std::make_unique<PosixArchive>(fd);
    return Status::Ok;
}

std::unique_ptr<FileSystem> makeFileSystem() {
    return std::make_unique<PosixFileSystem>();
}

} // namespace lha
