// Owns a handle of the system and closes it once, when the owner goes: files and folders opened
// with CreateFile (TFileHandle) and searches begun with FindFirstFile (TFindHandle).
#pragma once
#include <windows.h>

template <class Closer> class THandle {
public:
    explicit THandle(HANDLE handle) : handle_(handle) {}
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    ~THandle() {
        if (Valid()) Closer::Close(handle_);
    }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

struct TKernelHandleCloser {
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
struct TFindHandleCloser {
    static void Close(HANDLE handle) { FindClose(handle); }
};
using TFileHandle = THandle<TKernelHandleCloser>;
using TFindHandle = THandle<TFindHandleCloser>;
