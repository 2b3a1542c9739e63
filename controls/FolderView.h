// TFolderView: a tree of the shell namespace's folders, read one level at a time as nodes are
// opened, with drive roots shown by drive kind, and the file-system path of its selection.
#pragma once
#include "ComCtrls.h"
#include "ComPtr.h"

#include <shlobj.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

enum TDisplayDrive : uint8_t { ddRemovable, ddFixed, ddRemote, ddCDRom, ddRamDisk, ddUnknown };

// A set of drive kinds in one byte, bit n for the kind of ordinal n.
class TDisplayDrives {
public:
    constexpr TDisplayDrives(std::initializer_list<TDisplayDrive> kinds) {
        for (TDisplayDrive kind : kinds)
            bits_ |= 1u << kind;
    }
    constexpr bool Contains(TDisplayDrive kind) const { return (bits_ >> kind) & 1u; }
    constexpr uint8_t Bits() const { return bits_; }
    friend constexpr bool operator==(TDisplayDrives, TDisplayDrives) = default;

private:
    uint8_t bits_ = 0;
};

// What a new view shows: every kind but drives the system cannot name.
constexpr TDisplayDrives kDefaultDisplayDrives{ddRemovable, ddFixed, ddRemote, ddCDRom, ddRamDisk};

// Every node stands for one folder item and owns, as its Data, the item's identifier list
// relative to the parent folder; the list is released when the node is deleted, before the
// user's OnDeletion runs.
class TFolderView : public TCustomTreeView {
public:
    explicit TFolderView(TComponent* AOwner); // raises EOleSysError without the shell
    ~TFolderView() override;

    // The file-system path of the selected node: a drive root with its backslash, a folder
    // without one; empty with no selection or for a node that has no such path.
    std::string Path() const;
    // Selects the node of an existing path, opening the nodes on the way to it. A path that
    // does not parse changes nothing; one the tree cannot reach clears the selection.
    void SetPath(const std::string& path);
    TDisplayDrives DisplayDrives() const { return displayDrives_; }
    // A different value rebuilds the tree at once.
    void SetDisplayDrives(TDisplayDrives drives);
    // Empties the tree and builds its top level anew, then selects and opens its first node.
    void Rebuild();

    void Loaded() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Reads the node's sub-folders the first time it opens, and again while it has none.
    bool CanExpand(TTreeNode* Node) override;
    void NodeDeletion(TTreeNode* Node) override;
    // Adds the qualifying sub-folders of folder under parent (null: the top level) in the
    // folder's own order.
    void AddFolderItems(IShellFolder* folder, TTreeNode* parent);
    // The item's display name of the given kind (SHGDN_xxx) in the ANSI code page.
    std::string GetItemName(IShellFolder* folder, LPCITEMIDLIST item, DWORD flags) const;

private:
    struct TIDListFree {
        const TFolderView* view;
        void operator()(ITEMIDLIST* list) const { view->FreeIDList(list); }
    };
    // An identifier list released through the shell allocator.
    using TIDList = std::unique_ptr<ITEMIDLIST, TIDListFree>;

    TIDList AllocIDList(size_t size) const; // zero-filled; EOutOfMemory when refused
    void FreeIDList(void* list) const;
    TIDList CopyFirstItem(LPCITEMIDLIST list) const;
    TIDList ConcatIDLists(LPCITEMIDLIST first, LPCITEMIDLIST second) const;
    // The node's list relative to the desktop.
    TIDList GetNodeIDList(const TTreeNode* node) const;
    // The node's folder (null: the desktop); false when the shell cannot give it.
    bool GetNodeFolder(const TTreeNode* node, TComPtr<IShellFolder>& folder) const;
    int CompareNodes(TTreeNode* node1, TTreeNode* node2, IShellFolder* folder) const;
    bool ShowsDrive(const std::string& parsingName) const;
    TTreeNode* FindNode(LPCITEMIDLIST list);
    TTreeNode* FindChild(TTreeNode* parent, LPCITEMIDLIST item);

    TComPtr<IMalloc> allocator_;
    TComPtr<IShellFolder> desktop_;
    TDisplayDrives displayDrives_ = kDefaultDisplayDrives;
    std::unique_ptr<TImageList> systemImages_; // shares the system's small icons
};
