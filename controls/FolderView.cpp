// The folder tree over the shell namespace.
#include "FolderView.h"

#include "Errors.h"
#include "Forms.h"

#include <cstring>

namespace {

// An item of an identifier list begins with its 16-bit byte count, the count included; a
// count of 0 ends the list.
uint16_t ItemSize(LPCITEMIDLIST item) {
    uint16_t size;
    std::memcpy(&size, item, sizeof size);
    return size;
}

LPCITEMIDLIST NextItem(LPCITEMIDLIST item) {
    if (ItemSize(item) == 0) return nullptr;
    const auto* next =
        reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(item) + ItemSize(item));
    return ItemSize(next) == 0 ? nullptr : next;
}

size_t IDListSize(LPCITEMIDLIST list) {
    size_t size = sizeof(uint16_t);
    for (LPCITEMIDLIST item = ItemSize(list) ? list : nullptr; item; item = NextItem(item))
        size += ItemSize(item);
    return size;
}

LPCITEMIDLIST DataOf(const TTreeNode* node) {
    return static_cast<LPCITEMIDLIST>(node->Data);
}

// The two lists name the same item exactly when the low 16 bits of the folder's comparison
// are 0; a failure result counts as a mismatch.
int CompareItems(IShellFolder* folder, LPCITEMIDLIST item1, LPCITEMIDLIST item2) {
    return static_cast<int16_t>(static_cast<uint16_t>(folder->CompareIDs(0, item1, item2)));
}

int GetIconIndex(LPCITEMIDLIST list, UINT openIcon) {
    SHFILEINFOA info{};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(list), 0, &info, sizeof info,
                   SHGFI_SYSICONINDEX | SHGFI_PIDL | SHGFI_SMALLICON | openIcon);
    return info.iIcon;
}

TDisplayDrive DriveKindOf(UINT driveType) {
    switch (driveType) {
    case DRIVE_REMOVABLE: return ddRemovable;
    case DRIVE_FIXED: return ddFixed;
    case DRIVE_REMOTE: return ddRemote;
    case DRIVE_CDROM: return ddCDRom;
    case DRIVE_RAMDISK: return ddRamDisk;
    }
    return ddUnknown;
}

std::string AnsiText(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return "";
    std::string text(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.resize(size - 1);
    return text;
}

std::wstring WideText(const std::string& text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (size <= 0) return L"";
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
    wide.resize(size - 1);
    return wide;
}

// The hourglass while a level is read; the default cursor comes back also when reading fails.
class HourGlass {
public:
    HourGlass() { Screen->SetCursor(crHourGlass); }
    HourGlass(const HourGlass&) = delete;
    HourGlass& operator=(const HourGlass&) = delete;
    ~HourGlass() { Screen->SetCursor(crDefault); }
};

} // namespace

TFolderView::TFolderView(TComponent* AOwner) : TCustomTreeView(AOwner) {
    OleCheck(SHGetMalloc(allocator_.Receive()));
    OleCheck(SHGetDesktopFolder(desktop_.Receive()));
    systemImages_ = std::make_unique<TImageList>(nullptr);
    systemImages_->ShareImages = true;
    // Asked for by attributes rather than by a path on disk: Wine gives no list for the empty
    // path, Windows gives it either way.
    SHFILEINFOA info{};
    systemImages_->SetHandle(reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES)));
    SetImages(systemImages_.get());
    SetBounds(Left(), Top(), 121, 97);
    TabStop = true;
    ReadOnly = true;
    ShowRoot = true;
}

TFolderView::~TFolderView() {
    SetImages(nullptr);
    systemImages_.reset();
    // While the allocator is still held.
    DestroyNodes();
}

void TFolderView::Loaded() {
    TCustomTreeView::Loaded();
    Rebuild();
}

// ---- Identifier lists ----

TFolderView::TIDList TFolderView::AllocIDList(size_t size) const {
    void* block = allocator_->Alloc(size);
    if (!block) throw EOutOfMemory();
    std::memset(block, 0, size);
    return TIDList(static_cast<ITEMIDLIST*>(block), TIDListFree{this});
}

void TFolderView::FreeIDList(void* list) const {
    if (list) allocator_->Free(list);
}

TFolderView::TIDList TFolderView::CopyFirstItem(LPCITEMIDLIST list) const {
    const uint16_t size = ItemSize(list);
    TIDList copy = AllocIDList(size + sizeof(uint16_t));
    std::memcpy(copy.get(), list, size);
    return copy;
}

TFolderView::TIDList TFolderView::ConcatIDLists(LPCITEMIDLIST first, LPCITEMIDLIST second) const {
    const size_t firstSize = IDListSize(first) - sizeof(uint16_t);
    const size_t secondSize = IDListSize(second);
    TIDList joined = AllocIDList(firstSize + secondSize);
    auto* bytes = reinterpret_cast<BYTE*>(joined.get());
    std::memcpy(bytes, first, firstSize);
    std::memcpy(bytes + firstSize, second, secondSize);
    return joined;
}

TFolderView::TIDList TFolderView::GetNodeIDList(const TTreeNode* node) const {
    TIDList list = CopyFirstItem(DataOf(node));
    for (const TTreeNode* parent = node->Parent(); parent; parent = parent->Parent())
        list = ConcatIDLists(DataOf(parent), list.get());
    return list;
}

bool TFolderView::GetNodeFolder(const TTreeNode* node, TComPtr<IShellFolder>& folder) const {
    if (!node)
        return SUCCEEDED(
            desktop_->QueryInterface(IID_IShellFolder, reinterpret_cast<void**>(folder.Receive())));
    const TIDList list = GetNodeIDList(node);
    return SUCCEEDED(desktop_->BindToObject(list.get(), nullptr, IID_IShellFolder,
                                            reinterpret_cast<void**>(folder.Receive()))) &&
           folder;
}

int TFolderView::CompareNodes(TTreeNode* node1, TTreeNode* node2, IShellFolder* folder) const {
    return CompareItems(folder, DataOf(node1), DataOf(node2));
}

// ---- Filling the tree ----

std::string TFolderView::GetItemName(IShellFolder* folder, LPCITEMIDLIST item, DWORD flags) const {
    STRRET name{};
    if (FAILED(folder->GetDisplayNameOf(item, flags, &name))) return "";
    switch (name.uType) {
    case STRRET_WSTR: {
        std::string text = AnsiText(name.pOleStr);
        allocator_->Free(name.pOleStr); // the shell allocated the text for the caller
        return text;
    }
    case STRRET_OFFSET: {
        // The text lies in the item itself; it is not read past the item's end.
        const size_t size = ItemSize(item);
        if (name.uOffset >= size) return "";
        const char* text = reinterpret_cast<const char*>(item) + name.uOffset;
        return std::string(text, strnlen(text, size - name.uOffset));
    }
    case STRRET_CSTR: return std::string(name.cStr, strnlen(name.cStr, sizeof name.cStr));
    }
    return "";
}

// A drive root is a parsing name of exactly a letter, ":" and "\"; other items always show.
bool TFolderView::ShowsDrive(const std::string& parsingName) const {
    if (parsingName.size() != 3 || parsingName.compare(1, 2, ":\\") != 0) return true;
    return displayDrives_.Contains(DriveKindOf(GetDriveTypeA(parsingName.c_str())));
}

void TFolderView::AddFolderItems(IShellFolder* folder, TTreeNode* parent) {
    TComPtr<IEnumIDList> items;
    // No owner window: the shell asks the user nothing, not even for a disk in an empty drive.
    if (FAILED(folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN,
                                   items.Receive())) ||
        !items)
        return;
    const HourGlass hourGlass;
    LPITEMIDLIST next = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &next, &fetched) == S_OK) {
        TIDList item(next, TIDListFree{this});
        LPCITEMIDLIST asked = item.get();
        // SFGAO_FILESYSTEM comes back although it is not asked for.
        SFGAOF attributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR;
        if (FAILED(folder->GetAttributesOf(1, &asked, &attributes))) continue;
        if (!(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR))) continue;
        if (!ShowsDrive(GetItemName(folder, asked, SHGDN_FORPARSING))) continue;
        TTreeNode* node =
            Items().AddChild(parent, GetItemName(folder, asked, SHGDN_INFOLDER), item.get());
        item.release(); // the node owns it now
        const TIDList absolute = GetNodeIDList(node);
        node->SetImageIndex(GetIconIndex(absolute.get(), 0));
        node->SetSelectedIndex(GetIconIndex(absolute.get(), SHGFI_OPENICON));
        if (attributes & SFGAO_HASSUBFOLDER) node->SetHasChildren(true);
    }
    const auto compare = [this, folder](TTreeNode* node1, TTreeNode* node2) {
        return CompareNodes(node1, node2, folder);
    };
    if (parent)
        parent->CustomSort(compare, false);
    else
        Items().CustomSort(compare, true);
}

void TFolderView::Rebuild() {
    if (Designing()) return;
    Items().Clear();
    AddFolderItems(desktop_.Get(), nullptr);
    // A desktop without a qualifying folder leaves the tree empty and nothing selected.
    if (TTreeNode* first = Items().FirstNode()) {
        SetSelected(first);
        first->Expand();
    }
}

void TFolderView::SetDisplayDrives(TDisplayDrives drives) {
    if (drives == displayDrives_) return;
    displayDrives_ = drives;
    Rebuild();
}

bool TFolderView::CanExpand(TTreeNode* Node) {
    TComPtr<IShellFolder> folder;
    if (Node->HasChildren() && !Node->FirstChild() && GetNodeFolder(Node, folder))
        AddFolderItems(folder.Get(), Node);
    return TCustomTreeView::CanExpand(Node);
}

void TFolderView::NodeDeletion(TTreeNode* Node) {
    FreeIDList(Node->Data);
    Node->Data = nullptr;
    TCustomTreeView::NodeDeletion(Node);
}

// ---- The path ----

std::string TFolderView::Path() const {
    const TTreeNode* node = Selected();
    if (!node) return "";
    const TIDList list = GetNodeIDList(node);
    char path[MAX_PATH + 1] = "";
    if (!SHGetPathFromIDListA(list.get(), path)) return "";
    return path;
}

TTreeNode* TFolderView::FindChild(TTreeNode* parent, LPCITEMIDLIST item) {
    TComPtr<IShellFolder> folder;
    const bool hasFolder = GetNodeFolder(parent, folder);
    TTreeNode* child = Items().FirstNode();
    if (parent) {
        parent->Expand();
        child = parent->FirstChild();
    }
    for (; hasFolder && child; child = child->NextSibling())
        if (CompareItems(folder.Get(), DataOf(child), item) == 0) return child;
    return nullptr;
}

// Follows the list's items from the top level down; null as soon as one is not in the tree.
TTreeNode* TFolderView::FindNode(LPCITEMIDLIST list) {
    TTreeNode* node = nullptr;
    for (LPCITEMIDLIST item = ItemSize(list) ? list : nullptr; item; item = NextItem(item)) {
        const TIDList first = CopyFirstItem(item);
        node = FindChild(node, first.get());
        if (!node) break;
    }
    return node;
}

void TFolderView::SetPath(const std::string& path) {
    std::wstring wide = WideText(path);
    LPITEMIDLIST parsed = nullptr;
    if (FAILED(
            desktop_->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &parsed, nullptr)) ||
        !parsed)
        return;
    const TIDList list(parsed, TIDListFree{this});
    SetSelected(FindNode(list.get()));
}

// A right-button press goes neither to the tree control, which would select or drag a node,
// nor further than the control's own OnMouseDown.
LRESULT TFolderView::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_RBUTTONDOWN:
        MouseDown(TMouseButton::mbRight, ShiftStateOf(wParam), static_cast<short>(LOWORD(lParam)),
                  static_cast<short>(HIWORD(lParam)));
        return 0;
    }
    return TCustomTreeView::WndProc(message, wParam, lParam);
}
