// Paths the shell knows: its special folders and the targets of its links.
#include "ShellPaths.h"

#include "ComPtr.h"

#include <shlobj.h>

namespace {

// COM for the scope of one call, whatever the thread had before; a thread that runs COM in
// another mode keeps it and can still create the link object.
class ComScope {
public:
    ComScope() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (initialized_) CoUninitialize();
    }

private:
    bool initialized_;
};

std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return wide;
}

} // namespace

HRESULT GetShellFolderPath(int csidl, HWND owner, std::string& path) {
    path.clear();
    TComPtr<IMalloc> allocator;
    HRESULT result = SHGetMalloc(allocator.Receive());
    if (FAILED(result)) return result;
    LPITEMIDLIST list = nullptr;
    result = SHGetSpecialFolderLocation(owner, csidl, &list);
    char buffer[MAX_PATH] = "";
    if (list) {
        if (SUCCEEDED(result)) SHGetPathFromIDListA(list, buffer);
        allocator->Free(list);
    }
    path = buffer;
    return result;
}

std::string ShortcutTarget(const std::string& linkPath) {
    ComScope com;
    TComPtr<IShellLinkA> link;
    TComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Receive()))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))) ||
        FAILED(file->Load(Wide(linkPath).c_str(), STGM_READ)))
        return "";
    char target[MAX_PATH] = "";
    if (link->GetPath(target, MAX_PATH, nullptr, 0) != S_OK) return "";
    return target;
}
