// The image list, tree nodes and the tree view.
#include "ComCtrls.h"

#include "SystemLibrary.h"

#include <exception>
#include <vector>

namespace {

// The common-control library registers the tree view's window class on request.
void RegisterTreeViewClass() {
    static const bool registered = InitCommonControlsFromSystem(ICC_TREEVIEW_CLASSES);
    (void)registered;
}

// A comparison handed through the control's sort, which is system code: an exception of the
// comparison waits there and is raised again once the sort has returned.
struct SortContext {
    const TTreeNodeCompare* compare;
    std::exception_ptr error;
};

int CALLBACK CompareNodeItems(LPARAM node1, LPARAM node2, LPARAM data) {
    auto* context = reinterpret_cast<SortContext*>(data);
    if (context->error) return 0;
    try {
        return (*context->compare)(reinterpret_cast<TTreeNode*>(node1),
                                   reinterpret_cast<TTreeNode*>(node2));
    } catch (...) {
        context->error = std::current_exception();
        return 0;
    }
}

// Every node under root, children before their parents.
void CollectChildrenFirst(TTreeNode* root, std::vector<TTreeNode*>& nodes) {
    for (TTreeNode* child = root->FirstChild(); child; child = child->NextSibling())
        CollectChildrenFirst(child, nodes);
    nodes.push_back(root);
}

} // namespace

// ---- TImageList ----

TImageList::~TImageList() {
    ReleaseHandle();
}

void TImageList::SetHandle(HIMAGELIST handle) {
    ReleaseHandle();
    handle_ = handle;
}

void TImageList::ReleaseHandle() {
    using DestroyProc = BOOL(WINAPI*)(HIMAGELIST);
    static const auto destroy = reinterpret_cast<DestroyProc>(
        reinterpret_cast<void*>(SystemProc("comctl32.dll", "ImageList_Destroy")));
    if (handle_ && !ShareImages && destroy) destroy(handle_);
    handle_ = nullptr;
}

// ---- TTreeNode ----

TCustomTreeView* TTreeNode::TreeView() const {
    return owner_->Owner();
}

int TTreeNode::Level() const {
    int level = 0;
    for (const TTreeNode* node = parent_; node; node = node->parent_)
        ++level;
    return level;
}

void TTreeNode::SetItem(TVITEMA& item) const {
    item.hItem = item_;
    SendMessageA(owner_->Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeNode::SetText(const std::string& text) {
    text_ = text;
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.pszText = text_.data();
    SetItem(item);
}

void TTreeNode::SetImageIndex(int index) {
    imageIndex_ = index;
    TVITEMA item{};
    item.mask = TVIF_IMAGE;
    item.iImage = index;
    SetItem(item);
}

void TTreeNode::SetSelectedIndex(int index) {
    selectedIndex_ = index;
    TVITEMA item{};
    item.mask = TVIF_SELECTEDIMAGE;
    item.iSelectedImage = index;
    SetItem(item);
}

void TTreeNode::SetHasChildren(bool hasChildren) {
    hasChildren_ = hasChildren;
    TVITEMA item{};
    item.mask = TVIF_CHILDREN;
    item.cChildren = hasChildren ? 1 : 0;
    SetItem(item);
}

TTreeNode* TTreeNode::FirstChild() const {
    return owner_->NextNode(item_, TVGN_CHILD);
}

TTreeNode* TTreeNode::NextSibling() const {
    return owner_->NextNode(item_, TVGN_NEXT);
}

bool TTreeNode::Expanded() const {
    return SendMessageA(owner_->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_),
                        TVIS_EXPANDED) &
           TVIS_EXPANDED;
}

void TTreeNode::Expand() {
    TreeView()->ExpandNode(this);
}

void TTreeNode::CustomSort(const TTreeNodeCompare& compare, bool recurse) {
    owner_->SortLevel(this, compare, recurse);
}

// ---- TTreeNodes ----

HWND TTreeNodes::Handle() const {
    return owner_->Handle();
}

TTreeNode* TTreeNodes::NodeOf(HTREEITEM item) const {
    const auto found = nodes_.find(item);
    return found == nodes_.end() ? nullptr : found->second.get();
}

TTreeNode* TTreeNodes::NextNode(HTREEITEM item, UINT relation) const {
    if (!owner_->HandleAllocated()) return nullptr;
    return NodeOf(reinterpret_cast<HTREEITEM>(
        SendMessageA(owner_->Handle(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item))));
}

TTreeNode* TTreeNodes::FirstNode() const {
    return NextNode(nullptr, TVGN_ROOT);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text, void* data) {
    std::unique_ptr<TTreeNode> node(new TTreeNode(this, parent));
    node->text_ = text;
    node->Data = data;
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent->item_ : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = node->text_.data();
    insert.item.iImage = node->imageIndex_;
    insert.item.iSelectedImage = node->selectedIndex_;
    insert.item.lParam = reinterpret_cast<LPARAM>(node.get());
    const auto item = reinterpret_cast<HTREEITEM>(
        SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!item) throw Exception("cannot add the tree node " + text);
    node->item_ = item;
    return nodes_.emplace(item, std::move(node)).first->second.get();
}

void TTreeNodes::SortLevel(TTreeNode* parent, const TTreeNodeCompare& compare, bool recurse) {
    SortContext context{&compare, nullptr};
    TVSORTCB sort{parent ? parent->item_ : TVI_ROOT, CompareNodeItems,
                  reinterpret_cast<LPARAM>(&context)};
    SendMessageA(Handle(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    if (context.error) std::rethrow_exception(context.error);
    if (!recurse) return;
    for (TTreeNode* child = parent ? parent->FirstChild() : FirstNode(); child;
         child = child->NextSibling())
        SortLevel(child, compare, true);
}

void TTreeNodes::CustomSort(const TTreeNodeCompare& compare, bool recurse) {
    SortLevel(nullptr, compare, recurse);
}

void TTreeNodes::Clear() {
    if (nodes_.empty()) return;
    // Without a selection the control moves none through the nodes as they go.
    owner_->SetSelected(nullptr);
    std::vector<TTreeNode*> doomed;
    for (TTreeNode* node = FirstNode(); node; node = node->NextSibling())
        CollectChildrenFirst(node, doomed);
    for (TTreeNode* node : doomed)
        owner_->NodeDeletion(node);
    if (owner_->HandleAllocated())
        SendMessageA(owner_->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    nodes_.clear(); // also the nodes of a window that went before its tree
}

// ---- TCustomTreeView ----

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle = csDoubleClicks;
}

TCustomTreeView::~TCustomTreeView() {
    DestroyNodes();
}

void TCustomTreeView::DestroyNodes() {
    changeEventsOff_ = true;
    items_.Clear();
}

void TCustomTreeView::CreateParams(TCreateParams& params) {
    RegisterTreeViewClass();
    TWinControl::CreateParams(params);
    params.BaseClassName = WC_TREEVIEWA;
    params.Style |= TVS_HASBUTTONS | TVS_HASLINES;
    if (ShowRoot) params.Style |= TVS_LINESATROOT;
    if (!ReadOnly) params.Style |= TVS_EDITLABELS;
    if (Ctl3D())
        params.ExStyle |= WS_EX_CLIENTEDGE;
    else
        params.Style |= WS_BORDER;
}

void TCustomTreeView::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    if (images_)
        DefaultHandler(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_->Handle()));
    if (indent_ > 0) DefaultHandler(TVM_SETINDENT, indent_, 0);
}

void TCustomTreeView::SetImages(TImageList* images) {
    images_ = images;
    if (HandleAllocated())
        DefaultHandler(TVM_SETIMAGELIST, TVSIL_NORMAL,
                       reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TCustomTreeView::SetIndent(int indent) {
    indent_ = indent;
    if (HandleAllocated()) DefaultHandler(TVM_SETINDENT, indent, 0);
}

TTreeNode* TCustomTreeView::Selected() const {
    return items_.NextNode(nullptr, TVGN_CARET);
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
    if (!HandleAllocated()) return;
    DefaultHandler(TVM_SELECTITEM, TVGN_CARET,
                   reinterpret_cast<LPARAM>(node ? node->ItemId() : nullptr));
}

void TCustomTreeView::ExpandNode(TTreeNode* node) {
    if (node->Expanded() || !CanExpand(node)) return;
    // The control asks again for a node it has never opened; that answer is given already.
    expandingByCode_ = true;
    DefaultHandler(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node->ItemId()));
    expandingByCode_ = false;
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
    bool allow = true;
    if (OnExpanding) OnExpanding(this, Node, allow);
    return allow;
}

void TCustomTreeView::NodeDeletion(TTreeNode* Node) {
    if (OnDeletion) OnDeletion(this, Node);
}

bool TCustomTreeView::AllowsExpansion(const NMTREEVIEWA& notice) {
    if (expandingByCode_ || (notice.action & (TVE_COLLAPSE | TVE_EXPAND)) != TVE_EXPAND)
        return true;
    TTreeNode* node = items_.NodeOf(notice.itemNew.hItem);
    return !node || CanExpand(node);
}

bool TCustomTreeView::AcceptEdit(const NMTVDISPINFOA& notice) {
    TTreeNode* node = items_.NodeOf(notice.item.hItem);
    if (!node || !notice.item.pszText) return false; // the edit was cancelled
    node->text_ = notice.item.pszText;
    return true;
}

// The control asks its ANSI parent window for ANSI notices; the ones that carry no text have
// the same layout in both forms.
LRESULT TCustomTreeView::Notify(const NMHDR& header) {
    const auto& notice = reinterpret_cast<const NMTREEVIEWA&>(header);
    switch (header.code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        if (OnChange && !changeEventsOff_) OnChange(this, items_.NodeOf(notice.itemNew.hItem));
        return 0;
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: return AllowsExpansion(notice) ? FALSE : TRUE;
    case TVN_ENDLABELEDITA: return AcceptEdit(reinterpret_cast<const NMTVDISPINFOA&>(header));
    }
    return 0;
}

LRESULT TCustomTreeView::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case CN_NOTIFY: return Notify(*reinterpret_cast<const NMHDR*>(lParam));
    }
    return TWinControl::WndProc(message, wParam, lParam);
}
