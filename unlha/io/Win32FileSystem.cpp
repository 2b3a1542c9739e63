// Win32 implementation of the file system: CreateFileA, CreateDirectoryA, SetFileTime,
// MoveFileExA and FindFirstFileA on paths in the ANSI code page. Files are created with normal
// attributes (never read-only), so that an uninstaller can remove them.
#include "Win32FileSystem.h"

#include <algorithm>
#include <string>
#include <vector>
#include <windows.h>

namespace lha {
namespace {

// Largest piece one ReadFile or WriteFile call is given.
constexpr DWORD kMaxTransfer = 1u << 30;

// A non-empty name in the ANSI code page as UTF-16; false when it is not valid there.
bool fromAnsi(const std::string& name, std::wstring& wide) {
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(),
                                           static_cast<int>(name.size()), nullptr, 0);
    if (length <= 0) return false;
    wide.assign(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()),
                        wide.data(), length);
    return true;
}

class Win32Input final : public Input {
public:
    Win32Input(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
    ~Win32Input() override { CloseHandle(file_); }
    Win32Input(const Win32Input&) = delete;
    Win32Input& operator=(const Win32Input&) = delete;

    Status readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                  std::size_t& got) override {
        got = 0;
        while (got < size) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset + got);
            at.OffsetHigh = static_cast<DWORD>((offset + got) >> 32);
            DWORD read = 0;
            const auto piece = static_cast<DWORD>(std::min<std::size_t>(size - got, kMaxTransfer));
            if (!ReadFile(file_, buffer + got, piece, &read, &at)) {
                if (GetLastError() == ERROR_HANDLE_EOF) break;
                return Status::ReadFailed;
            }
            if (read == 0) break;
            got += read;
        }
        return Status::Ok;
    }
    std::uint64_t size() const override { return size_; }

private:
    HANDLE file_;
    std::uint64_t size_;
};

bool toFileTime(const Timestamp& stamp, FILETIME& time) {
    ULARGE_INTEGER ticks{};
    switch (stamp.kind) {
    case Timestamp::Kind::None: return false;
    case Timestamp::Kind::Dos: {
        // DOS stamps are local time, converted the way Windows itself converts them.
        FILETIME local{};
        return DosDateTimeToFileTime(static_cast<WORD>(stamp.value >> 16),
                                     static_cast<WORD>(stamp.value), &local) &&
               LocalFileTimeToFileTime(&local, &time);
    }
    case Timestamp::Kind::Unix:
        ticks.QuadPart = kWindowsTicksAt1970 + (stamp.value & 0xFFFFFFFF) * 10000000ull;
        break;
    case Timestamp::Kind::Windows: ticks.QuadPart = stamp.value; break;
    }
    time.dwLowDateTime = ticks.LowPart;
    time.dwHighDateTime = ticks.HighPart;
    return true;
}

class Win32File final : public OutputFile {
public:
    explicit Win32File(HANDLE file) : file_(file) {}
    ~Win32File() override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    Status write(const std::uint8_t* data, std::size_t size) override {
        while (size > 0) {
            DWORD written = 0;
            const auto piece = static_cast<DWORD>(std::min<std::size_t>(size, kMaxTransfer));
            if (!WriteFile(file_, data, piece, &written, nullptr) || written == 0)
                return Status::WriteFailed;
            data += written;
            size -= written;
        }
        return Status::Ok;
    }

    Status finish(const Timestamp& modified) override {
        FILETIME time{};
        bool ok = !toFileTime(modified, time) || SetFileTime(file_, nullptr, nullptr, &time);
        ok = CloseHandle(file_) && ok;
        file_ = INVALID_HANDLE_VALUE;
        return ok ? Status::Ok : Status::WriteFailed;
    }

private:
    HANDLE file_;
};

class Win32Archive final : public ArchiveFile {
public:
    explicit Win32Archive(HANDLE file) : handle_(file), file_(file) {}
    Win32Archive(const Win32Archive&) = delete;
    Win32Archive& operator=(const Win32Archive&) = delete;

    Status write(const std::uint8_t* data, std::size_t size) override {
        return file_.write(data, size);
    }
    Status seek(std::uint64_t position) override {
        LARGE_INTEGER to{};
        to.QuadPart = static_cast<LONGLONG>(position);
        return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) ? Status::Ok
                                                                  : Status::WriteFailed;
    }
    Status finish() override {
        const bool cut = SetEndOfFile(handle_);
        const Status closed = file_.finish(Timestamp{});
        return cut ? closed : Status::WriteFailed;
    }

private:
    HANDLE handle_;
    Win32File file_; // writes and closes
};

// The kind, size, time and attributes of what the file system says of one file or folder.
void describe(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, const FILETIME& modified,
              FolderItem& item) {
    item.kind =
        attributes & FILE_ATTRIBUTE_DIRECTORY ? FolderItem::Kind::Folder : FolderItem::Kind::File;
    if (item.kind == FolderItem::Kind::File) item.size = (std::uint64_t{sizeHigh} << 32) | sizeLow;
    item.modified = {Timestamp::Kind::Windows,
                     (std::uint64_t{modified.dwHighDateTime} << 32) | modified.dwLowDateTime};
    item.attributes = static_cast<std::uint16_t>(
        attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE));
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// Offsets of the separators in `path`, stepping over double-byte characters of the ANSI code
// page, whose trail byte may be 0x5C.
std::vector<std::size_t> separators(const std::string& path) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size())
            ++i;
        else if (isSeparator(path[i]))
            found.push_back(i);
    }
    return found;
}

} // namespace

Win32FileSystem::Win32FileSystem() : previousErrorMode_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}

Win32FileSystem::~Win32FileSystem() {
    SetErrorMode(previousErrorMode_);
}

std::string Win32FileSystem::join(const std::string& folder, const std::string& name) const {
    if (folder.empty()) return name;
    const std::vector<std::size_t> found = separators(folder);
    const bool endsWithSeparator = !found.empty() && found.back() == folder.size() - 1;
    // "C:" alone is the current folder of drive C, not its root: no separator goes between.
    const bool driveAlone = folder.size() == 2 && folder[1] == ':';
    return endsWithSeparator || driveAlone ? folder + name : folder + '\\' + name;
}

bool Win32FileSystem::acceptsName(const std::string& name) const {
    // The name as Windows will read it: valid in the code page, and one name only.
    std::wstring wide;
    return fromAnsi(name, wide) && wide.find_first_of(L"\\/:") == std::wstring::npos;
}

Status Win32FileSystem::openArchive(const std::string& path, std::unique_ptr<Input>& input) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Status::ReadFailed;
    LARGE_INTEGER size{};
    // Only a file on a disk: a device (CON, NUL, COM1) or a pipe has no size to read up to
    // and may wait for ever for its next byte.
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return Status::ReadFailed;
    }
    input = std::make_unique<Win32Input>(file, static_cast<std::uint64_t>(size.QuadPart));
    return Status::Ok;
}

Status Win32FileSystem::makeFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return Status::Ok;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Status::WriteFailed;
    // A junction or a symbolic link to a folder is no folder to write into.
    return attributes & FILE_ATTRIBUTE_REPARSE_POINT ? Status::RefusedPath : Status::Ok;
}

Status Win32FileSystem::makeFolders(const std::string& path, std::vector<std::string>& made) {
    // Parents that cannot be made (a drive's root, "\\server\share") are passed over: only
    // whether the folder itself ends up existing counts.
    made.clear();
    std::vector<std::size_t> ends = separators(path);
    ends.push_back(path.size());
    for (const std::size_t end : ends) {
        const std::string folder = path.substr(0, end);
        if (end > 0 && CreateDirectoryA(folder.c_str(), nullptr)) made.push_back(folder);
    }
    return isFolder(path) ? Status::Ok : Status::WriteFailed;
}

Status Win32FileSystem::createFile(const std::string& path, std::unique_ptr<OutputFile>& file,
                                   bool& existed) {
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    existed = handle == INVALID_HANDLE_VALUE &&
              (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS);
    if (handle == INVALID_HANDLE_VALUE) return Status::WriteFailed;
    file = std::make_unique<Win32File>(handle);
    return Status::Ok;
}

Status Win32FileSystem::replaceFile(const std::string& from, const std::string& to) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return Status::Ok;
    if (SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL) &&
        MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING))
        return Status::Ok;
    return Status::WriteFailed;
}

void Win32FileSystem::removeFile(const std::string& path) {
    DeleteFileA(path.c_str());
}

void Win32FileSystem::removeFolder(const std::string& path) {
    RemoveDirectoryA(path.c_str());
}

Status Win32FileSystem::examine(const std::string& path, FolderItem& item) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return Status::ReadFailed;
    // The last name: after the last separator that is not at the end, or after a drive's colon.
    std::size_t end = path.size();
    std::vector<std::size_t> found = separators(path);
    while (!found.empty() && found.back() + 1 == end) {
        end = found.back();
        found.pop_back();
    }
    std::size_t start = found.empty() ? 0 : found.back() + 1;
    if (found.empty() && end >= 2 && path[1] == ':') start = 2;
    item = FolderItem{};
    item.name = path.substr(start, end - start);
    describe(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime,
             item);
    return Status::Ok;
}

Status Win32FileSystem::listFolder(const std::string& path, std::vector<FolderItem>& items) {
    items.clear();
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(join(path, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return Status::ReadFailed;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        FolderItem item;
        item.name = name;
        describe(found.dwFileAttributes, found.nFileSizeHigh, found.nFileSizeLow,
                 found.ftLastWriteTime, item);
        // A junction or link could lead back up the tree.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            item.kind = FolderItem::Kind::Other;
        items.push_back(item);
    } while (FindNextFileA(search, &found));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    return complete ? Status::Ok : Status::ReadFailed;
}

bool Win32FileSystem::toArchiveName(const std::string& name, std::string& stored) const {
    constexpr UINT kArchiveCodePage = 932;
    stored.clear();
    if (name.empty()) return true;
    std::wstring wide;
    if (!fromAnsi(name, wide)) return false;
    const int length = static_cast<int>(wide.size());
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(kArchiveCodePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                                         length, nullptr, 0, nullptr, &lost);
    if (size <= 0 || lost) return false;
    stored.assign(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(kArchiveCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, stored.data(),
                        size, nullptr, &lost);
    return !lost;
}

Status Win32FileSystem::createArchive(const std::string& path, std::unique_ptr<ArchiveFile>& file,
                                      bool& existed) {
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    existed = handle == INVALID_HANDLE_VALUE &&
              (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS);
    if (handle == INVALID_HANDLE_VALUE) return Status::WriteFailed;
    file = std::make_unique<Win32Archive>(handle);
    return Status::Ok;
}

std::unique_ptr<FileSystem> makeFileSystem() {
    return std::make_unique<Win32FileSystem>();
}

} // namespace lha
