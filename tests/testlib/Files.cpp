// File helpers of the test bed.
#include "Files.h"

#include "ComPtr.h"
#include "PathRules.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testbed {

namespace {

void CollectTree(const std::string& folder, const std::string& relative,
                 std::vector<std::string>& found) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + relative + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            found.push_back(relative + name + "\\");
            CollectTree(folder, relative + name + "\\", found);
        } else {
            found.push_back(relative + name);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

// Every test program removes the test root when its tests are done: the prefix stays as it was.
class TestRootRemoval : public ::testing::Environment {
public:
    void TearDown() override { RemoveTree(TestRoot()); }
};
const auto* const testRootRemoval = ::testing::AddGlobalTestEnvironment(new TestRootRemoval);

} // namespace

std::string TestRoot() {
    MakeFolders("C:\\lumtest\\");
    return "C:\\lumtest\\";
}

std::string FreshFolder(const std::string& name) {
    const std::string folder = TestRoot() + name + "\\";
    RemoveTree(folder);
    MakeFolders(folder);
    return folder;
}

void RemoveTree(const std::string& folder) {
    const std::string dir = AddBackslash(folder);
    const DWORD attributes = GetFileAttributesA(ExtractFileDir(dir).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveDirectoryA(ExtractFileDir(dir).c_str());
        return;
    }
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((dir + "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = dir + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                RemoveDirectoryA(path.c_str()); // a link: never emptied through
            } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(dir.c_str());
}

std::string SetupTempFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "LUM_TEMP\\";
}

void WriteFile(const std::string& path, const std::string& bytes) {
    const auto slash = path.find_last_of('\\');
    if (slash != std::string::npos) MakeFolders(path.substr(0, slash + 1));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFolders(const std::string& folder) {
    const std::string dir = AddBackslash(folder);
    for (size_t at = dir.find('\\', 3); at != std::string::npos; at = dir.find('\\', at + 1))
        if (IsCharStart(dir, at)) CreateDirectoryA(dir.substr(0, at).c_str(), nullptr);
}

std::vector<std::string> ListTree(const std::string& folder) {
    std::vector<std::string> found;
    CollectTree(AddBackslash(folder), "", found);
    std::sort(found.begin(), found.end());
    return found;
}

std::string UnixPath(const std::string& windowsPath) {
    using Convert = char*(CDECL*)(const WCHAR*);
    static const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!convert) throw std::runtime_error("not running under Wine");
    const int length = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), length);
    char* unixPath = convert(wide.c_str());
    if (!unixPath) throw std::runtime_error("no host path for " + windowsPath);
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

std::string ExeFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    // Started from a host folder that no drive letter maps, the program's own path comes back
    // in Wine's host form without its "\\?\" prefix.
    if (folder.rfind("unix\\", 0) == 0) folder = "\\\\?\\" + folder;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string BuiltProgram(const std::string& name) {
    return ExeFolder() + name;
}

void MakeShortcut(const std::string& linkPath, const std::string& target) {
    MakeFolders(ExtractFilePath(linkPath));
    const bool initialized = SUCCEEDED(CoInitialize(nullptr));
    bool saved = false;
    {
        TComPtr<IShellLinkA> link;
        TComPtr<IPersistFile> file;
        const int length = MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, nullptr, 0);
        std::wstring wide(length, L'\0');
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide.data(), length);
        saved = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA,
                                           reinterpret_cast<void**>(link.Receive()))) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile,
                                               reinterpret_cast<void**>(file.Receive()))) &&
                SUCCEEDED(link->SetPath(target.c_str())) &&
                SUCCEEDED(file->Save(wide.c_str(), TRUE));
    }
    if (initialized) CoUninitialize();
    if (!saved) throw std::runtime_error("cannot write the shortcut " + linkPath);
}

} // namespace testbed
