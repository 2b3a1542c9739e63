// A file opened for reading or created for writing; failures raise the file-stream errors.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

class TFileStream {
public:
    enum class Mode { OpenRead, Create };
    // Create replaces an existing file. Raises EFOpenError or EFCreateError naming the file.
    TFileStream(const std::string& fileName, Mode mode);
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    ~TFileStream();

    int64_t Size() const;
    int64_t Position() const;
    // Reads up to count bytes; returns how many were read (0 at the end). A failed read raises
    // EFOpenError naming the file: the file cannot be read as opened.
    size_t Read(void* buffer, size_t count);
    // Writes all count bytes; raises EFCreateError naming the file when the disk refuses.
    void Write(const void* buffer, size_t count);

private:
    std::string fileName_;
    HANDLE handle_;
};
