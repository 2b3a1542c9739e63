// Common controls: the image list and the tree view over the system's SysTreeView32.
#pragma once
#include "Controls.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

// An image list handle and whether this object may destroy it. A shared handle (such as the
// system's icon list) is never destroyed here.
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner) : TComponent(AOwner) {}
    ~TImageList() override;

    HIMAGELIST Handle() const { return handle_; }
    // Takes the handle; the one held before is destroyed unless shared.
    void SetHandle(HIMAGELIST handle);
    bool ShareImages = false;

private:
    void ReleaseHandle();
    HIMAGELIST handle_ = nullptr;
};

class TCustomTreeView;
class TTreeNodes;
class TTreeNode;

// Orders two nodes of one level: negative, zero or positive.
using TTreeNodeCompare = std::function<int(TTreeNode* Node1, TTreeNode* Node2)>;
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;

// One item of a tree view. Its text, images and children mark live in the control's item;
// Data is the user's and is never touched by the tree.
class TTreeNode {
public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TCustomTreeView* TreeView() const;
    HTREEITEM ItemId() const { return item_; }
    TTreeNode* Parent() const { return parent_; }
    int Level() const; // 0 for a top-level node

    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int index);
    // The expand button is shown while this holds, whether or not children exist yet.
    bool HasChildren() const { return hasChildren_; }
    void SetHasChildren(bool hasChildren);
    void* Data = nullptr;

    TTreeNode* FirstChild() const;
    TTreeNode* NextSibling() const;

    bool Expanded() const;
    // Opens the node (not its children) when the tree's CanExpand allows it.
    void Expand();
    // Orders the node's children with compare; with recurse, every level below as well.
    void CustomSort(const TTreeNodeCompare& compare, bool recurse);

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    TTreeNode(TTreeNodes* owner, TTreeNode* parent) : owner_(owner), parent_(parent) {}
    void SetItem(TVITEMA& item) const;

    TTreeNodes* owner_;
    TTreeNode* parent_;
    HTREEITEM item_ = nullptr;
    std::string text_;
    int imageIndex_ = -1;
    int selectedIndex_ = -1;
    bool hasChildren_ = false;
};

// The nodes of a tree view. They exist only while the control's window does.
class TTreeNodes {
public:
    explicit TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    TCustomTreeView* Owner() const { return owner_; }
    // Appends a node as the last child of parent, or as the last top-level node.
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text, void* data = nullptr);
    TTreeNode* FirstNode() const;
    int Count() const { return static_cast<int>(nodes_.size()); } // all levels
    // Deletes every node, raising the deletion event for each, children before their parents;
    // a selection there was is cleared first.
    void Clear();
    // Orders the top level with compare; with recurse, every level below as well.
    void CustomSort(const TTreeNodeCompare& compare, bool recurse);
    // The node of a control item, or null.
    TTreeNode* NodeOf(HTREEITEM item) const;

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    HWND Handle() const;
    TTreeNode* NextNode(HTREEITEM item, UINT relation) const;
    // Sorts the children of parent (null: the top level).
    void SortLevel(TTreeNode* parent, const TTreeNodeCompare& compare, bool recurse);

    TCustomTreeView* owner_;
    std::map<HTREEITEM, std::unique_ptr<TTreeNode>> nodes_;
};

// A tree of nodes with text, images and user data. The tree never sorts on its own: nodes stay
// in the order they were added until the user sorts a level. Expansion asks CanExpand first,
// whether the user or the program opens a node.
class TCustomTreeView : public TWinControl {
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    TTreeNodes& Items() { return items_; }
    TTreeNode* Selected() const;
    // Selects the node, or clears the selection for null; OnChange follows a change.
    void SetSelected(TTreeNode* node);

    TImageList* Images() const { return images_; }
    // The list the node image indexes refer to (null: none). The tree does not own it.
    void SetImages(TImageList* images);
    int Indent() const { return indent_; }
    void SetIndent(int indent);
    // Read when the window is made.
    bool ReadOnly = false; // captions cannot be edited in place
    bool ShowRoot = true;  // lines and buttons for the top-level nodes too

    TTVChangedEvent OnChange;      // the selection changed (Node null: nothing selected)
    TTVChangedEvent OnDeletion;    // a node is about to be deleted
    TTVExpandingEvent OnExpanding; // a node is about to open; clearing the flag refuses

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    // Whether the node may open: raises OnExpanding.
    virtual bool CanExpand(TTreeNode* Node);
    // Called for each node before it goes: raises OnDeletion.
    virtual void NodeDeletion(TTreeNode* Node);
    // Deletes every node without raising OnChange, for destructors: the user's handlers may
    // reach controls that are already gone.
    void DestroyNodes();

private:
    friend class TTreeNodes;
    friend class TTreeNode;
    void ExpandNode(TTreeNode* node);
    LRESULT Notify(const NMHDR& header);
    bool AllowsExpansion(const NMTREEVIEWA& notice);
    bool AcceptEdit(const NMTVDISPINFOA& notice);

    TTreeNodes items_{this};
    TImageList* images_ = nullptr;
    int indent_ = 0;               // 0: the control's own
    bool expandingByCode_ = false; // the program opens a node and has asked CanExpand already
    bool changeEventsOff_ = false; // set for good once the tree is being destroyed
};
