// Folders that the shell knows by number (CSIDL).
#include "ShellFolders.h"

#include "PathRules.h"

#include <shlobj.h>
#include <windows.h>

#include <memory>

namespace {

struct AllocatorRelease {
    void operator()(IMalloc* allocator) const { allocator->Release(); }
};
using AllocatorPtr = std::unique_ptr<IMalloc, AllocatorRelease>;

// An item list that the shell made is freed with the shell's allocator.
struct ItemListFree {
    IMalloc* allocator;
    void operator()(ITEMIDLIST* list) const { allocator->Free(list); }
};
using ItemListPtr = std::unique_ptr<ITEMIDLIST, ItemListFree>;

} // namespace

std::string SpecialFolder(int csidl) {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return "";
    const AllocatorPtr ownedAllocator(allocator);
    ITEMIDLIST* list = nullptr;
    const HRESULT found = SHGetSpecialFolderLocation(nullptr, csidl, &list);
    const ItemListPtr ownedList(list, ItemListFree{allocator});
    char path[MAX_PATH] = "";
    if (FAILED(found) || !list || !SHGetPathFromIDListA(list, path) || !path[0]) return "";
    return AddBackslash(path);
}

std::string GetProgramsFolder() {
    return SpecialFolder(CSIDL_PROGRAMS);
}
