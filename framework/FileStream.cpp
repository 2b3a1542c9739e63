// File streams over Win32 handles.
#include "FileStream.h"

#include "Errors.h"

TFileStream::TFileStream(const std::string& fileName, Mode mode) : fileName_(fileName) {
    if (mode == Mode::OpenRead) {
        handle_ = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) throw EFOpenError(fileName);
    } else {
        handle_ = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) throw EFCreateError(fileName);
    }
}

TFileStream::~TFileStream() {
    CloseHandle(handle_);
}

int64_t TFileStream::Size() const {
    LARGE_INTEGER size{};
    GetFileSizeEx(handle_, &size);
    return size.QuadPart;
}

int64_t TFileStream::Position() const {
    LARGE_INTEGER zero{}, position{};
    SetFilePointerEx(handle_, zero, &position, FILE_CURRENT);
    return position.QuadPart;
}

size_t TFileStream::Read(void* buffer, size_t count) {
    DWORD read = 0;
    if (!ReadFile(handle_, buffer, static_cast<DWORD>(count), &read, nullptr))
        throw EFOpenError(fileName_);
    return read;
}

void TFileStream::Write(const void* buffer, size_t count) {
    DWORD written = 0;
    if (!WriteFile(handle_, buffer, static_cast<DWORD>(count), &written, nullptr) ||
        written != count)
        throw EFCreateError(fileName_);
}
