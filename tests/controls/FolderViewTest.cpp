// The folder tree over the shell of the test prefix: its levels, drive filter, paths, the
// release of its identifier lists, and names and filters through a folder with made-up answers.
#include "FolderView.h"
#include "Drives.h"
#include "Files.h"
#include "Forms.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <cstring>
#include <map>
#include <mutex>
#include <set>

using namespace testbed;

namespace {

const char* const kComputer = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

// Reaches the view's own operations on folders that the test makes up.
class TestFolderView : public TFolderView {
public:
    using TFolderView::AddFolderItems;
    using TFolderView::TFolderView;
};

std::vector<std::string> Captions(TTreeNode* first) {
    std::vector<std::string> captions;
    for (TTreeNode* node = first; node; node = node->NextSibling())
        captions.push_back(node->Text());
    return captions;
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) {
        if (!joined.empty()) joined += ' ';
        joined += text;
    }
    return joined;
}

// A view on a form, built as a form's design builds it; every change event is recorded.
class FolderViewTest : public ::testing::Test {
protected:
    FolderViewTest() { application.Initialize(); }

    void Build() {
        form = new TForm(&application);
        view = new TestFolderView(form);
        view->SetParent(form);
        view->SetBounds(0, 0, 300, 400);
        view->OnChange = [this](TObject* sender, TTreeNode* node) {
            EXPECT_EQ(sender, view);
            changes.push_back(node);
        };
        form->AfterConstruction();
    }

    // The paths of the computer's children that are drive roots.
    std::string DrivesShown() {
        view->SetPath(kComputer);
        TTreeNode* computer = view->Selected();
        if (!computer) return "no computer node";
        computer->Expand();
        std::string drives;
        for (TTreeNode* node = computer->FirstChild(); node; node = node->NextSibling()) {
            view->SetSelected(node);
            const std::string path = view->Path();
            if (path.size() == 3) drives += path.substr(0, 1);
        }
        return drives;
    }

    TApplication application;
    TForm* form = nullptr;
    TestFolderView* view = nullptr;
    std::vector<TTreeNode*> changes;
};

TEST_F(FolderViewTest, BuildsTheTopLevelSelectsAndOpensItsFirstNode) {
    Build();
    TTreeNode* first = view->Items().FirstNode();
    ASSERT_TRUE(first);
    EXPECT_EQ(view->Selected(), first);
    EXPECT_EQ(changes, std::vector<TTreeNode*>{first});
    EXPECT_TRUE(first->Expanded() || !first->HasChildren()) << first->Text();
    view->SetPath(kComputer);
    ASSERT_TRUE(view->Selected());
    EXPECT_EQ(view->Selected()->Level(), 0) << "the computer is a top-level node";
    EXPECT_EQ(view->Path(), "") << "the computer has no file-system path";
}

TEST_F(FolderViewTest, ShowsDrivesByTheirKind) {
    const std::string disk = FreshFolder("fv-disk");
    DriveMapping cdrom(DriveKind::CdRom, disk);
    DriveMapping fixed(DriveKind::Fixed, disk);
    DriveMapping network(DriveKind::Network, disk);
    DriveMapping floppy(DriveKind::Floppy, TestRoot() + "fv-no-diskette");
    const char cd = static_cast<char>(toupper(cdrom.Letter()));
    const char hd = static_cast<char>(toupper(fixed.Letter()));
    const char net = static_cast<char>(toupper(network.Letter()));
    const char fd = static_cast<char>(toupper(floppy.Letter()));
    Build();
    // Wine gives a letter without a declared type the fixed type, so a drive of unknown kind
    // cannot be made here; the made-up folder below covers that kind.
    struct Case {
        const char* name;
        TDisplayDrives drives;
        std::string shown, hidden;
    };
    const Case cases[] = {
        {"initial", kDefaultDisplayDrives, {'C', cd, hd, net, fd}, {}},
        {"removable, fixed, remote", {ddRemovable, ddFixed, ddRemote}, {'C', hd, net, fd}, {cd}},
        {"CD-ROM only", {ddCDRom}, {cd}, {'C', hd, net, fd}},
    };
    for (const Case& c : cases) {
        view->SetDisplayDrives(c.drives);
        const std::string shown = DrivesShown();
        for (char drive : c.shown)
            EXPECT_NE(shown.find(drive), std::string::npos)
                << c.name << ": " << drive << " in " << shown;
        for (char drive : c.hidden)
            EXPECT_EQ(shown.find(drive), std::string::npos)
                << c.name << ": " << drive << " in " << shown;
    }
}

TEST_F(FolderViewTest, PathReadsTheSelectedNode) {
    const std::string folder = FreshFolder("fv-read");
    Build();
    const std::pair<std::string, std::string> cases[] = {
        {kComputer, ""}, {"C:\\", "C:\\"}, {folder, "C:\\lumtest\\fv-read"}};
    for (const auto& [written, read] : cases) {
        view->SetPath(written);
        EXPECT_TRUE(view->Selected()) << written;
        EXPECT_EQ(view->Path(), read) << written;
    }
    view->SetSelected(nullptr);
    EXPECT_EQ(view->Path(), "");
}

TEST_F(FolderViewTest, WritingAPathOpensTheWayToItsNode) {
    const std::string root = FreshFolder("fv-write");
    MakeFolders(root + "deep\\er\\est");
    Build();
    changes.clear();
    view->SetPath(root + "deep\\er");
    TTreeNode* node = view->Selected();
    ASSERT_TRUE(node);
    EXPECT_EQ(node->Text(), "er");
    EXPECT_EQ(changes, std::vector<TTreeNode*>{node});
    EXPECT_FALSE(node->Expanded()) << "the folder itself stays closed";
    for (TTreeNode* above = node->Parent(); above; above = above->Parent())
        EXPECT_TRUE(above->Expanded()) << above->Text();

    // A path that does not exist changes nothing; one the tree can't reach clears the selection.
    const std::string disk = FreshFolder("fv-cd");
    MakeFolders(disk + "GAME");
    DriveMapping cdrom(DriveKind::CdRom, disk);
    view->SetDisplayDrives({ddRemovable, ddFixed, ddRemote});
    view->SetPath(root + "deep\\er");
    node = view->Selected();
    changes.clear();
    for (const std::string& missing : {root + "missing", std::string("Q:\\GAME")}) {
        view->SetPath(missing);
        EXPECT_EQ(view->Selected(), node) << missing;
    }
    EXPECT_TRUE(changes.empty());
    view->SetPath(cdrom.Root() + "GAME");
    EXPECT_EQ(view->Selected(), nullptr);
    EXPECT_EQ(changes, std::vector<TTreeNode*>{nullptr});
}

TEST_F(FolderViewTest, ListsHiddenFoldersButNoFiles) {
    const std::string folder = FreshFolder("fv-list");
    MakeFolders(folder + "plain");
    MakeFolders(folder + "secret");
    SetFileAttributesA((folder + "secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFile(folder + "file.txt", "x");
    Build();
    view->SetPath(folder);
    ASSERT_TRUE(view->Selected());
    view->Selected()->Expand();
    EXPECT_EQ(Joined(Captions(view->Selected()->FirstChild())), "plain secret");
}

TEST_F(FolderViewTest, AFolderThatStaysEmptyIsReadAgainOnTheNextExpansion) {
    const std::string folder = FreshFolder("fv-empty");
    Build();
    view->SetPath(folder);
    TTreeNode* node = view->Selected();
    ASSERT_TRUE(node);
    ASSERT_TRUE(node->HasChildren()) << "the shell marks every folder as having sub-folders";
    node->Expand();
    EXPECT_EQ(node->FirstChild(), nullptr);
    EXPECT_TRUE(node->HasChildren());
    MakeFolders(folder + "later");
    node->Expand();
    EXPECT_EQ(Joined(Captions(node->FirstChild())), "later");
}

TEST_F(FolderViewTest, WritingTheCurrentDrivesNeitherRebuildsNorMovesTheSelection) {
    Build();
    view->SetPath("C:\\");
    TTreeNode* selected = view->Selected();
    const int count = view->Items().Count();
    changes.clear();
    view->SetDisplayDrives(kDefaultDisplayDrives);
    EXPECT_EQ(view->Selected(), selected);
    EXPECT_EQ(view->Items().Count(), count);
    EXPECT_TRUE(changes.empty());
    view->SetDisplayDrives({ddFixed});
    EXPECT_EQ(view->Selected(), view->Items().FirstNode()) << "a new value rebuilds";
}

TEST_F(FolderViewTest, RightButtonRaisesMouseDownAndSelectsNothing) {
    Build();
    view->SetPath("C:\\");
    TTreeNode* selected = view->Selected();
    TTreeNode* other = view->Items().FirstNode();
    ASSERT_NE(other, selected);
    RECT item{};
    const HTREEITEM otherItem = other->ItemId(); // the message takes the item in the rectangle
    std::memcpy(&item, &otherItem, sizeof otherItem);
    ASSERT_TRUE(
        SendMessageA(view->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&item)));
    std::string pressed;
    view->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
        pressed = std::to_string(static_cast<int>(button)) + " " + std::to_string(shift) + " " +
                  std::to_string(x) + "," + std::to_string(y);
    };
    SendMessageA(view->Handle(), WM_RBUTTONDOWN, MK_RBUTTON,
                 MAKELPARAM(item.left + 2, item.top + 2));
    SendMessageA(view->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(item.left + 2, item.top + 2));
    EXPECT_EQ(pressed, "1 " + std::to_string(ssRight) + " " + std::to_string(item.left + 2) + "," +
                           std::to_string(item.top + 2));
    EXPECT_EQ(view->Selected(), selected);
}

// ---- Identifier lists come back to the shell allocator ----

// The test's COM objects live on the stack and are never deleted through an interface, which
// has no virtual destructor by design.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// Follows the task allocator, which is the shell's, while registered.
class AllocationSpy final : public IMallocSpy {
public:
    std::map<void*, int> frees; // freed blocks and how often each was freed
    std::set<void*> live;       // blocks allocated while registered and not yet freed

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id != IID_IUnknown && id != IID_IMallocSpy) return E_NOINTERFACE;
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
    void* STDMETHODCALLTYPE PostAlloc(void* block) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (block) live.insert(block);
        return block;
    }
    void* STDMETHODCALLTYPE PreFree(void* block, BOOL) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (block) {
            live.erase(block);
            ++frees[block];
        }
        return block;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T size, void** newBlock, BOOL) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        live.erase(block);
        *newBlock = block;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* block, BOOL) override { return PostAlloc(block); }
    void* STDMETHODCALLTYPE PreGetSize(void* block, BOOL) override { return block; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* block, BOOL) override { return block; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int allocated) override { return allocated; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

private:
    std::mutex mutex_;
};

void CollectData(TTreeNode* first, std::vector<void*>& data) {
    for (TTreeNode* node = first; node; node = node->NextSibling()) {
        data.push_back(node->Data);
        CollectData(node->FirstChild(), data);
    }
}

TEST_F(FolderViewTest, DeletionReleasesEachListOnceBeforeTheUsersHandler) {
    const std::string folder = FreshFolder("fv-release");
    MakeFolders(folder + "a\\b");
    // The same tree once outside the count: the shell keeps some blocks of its first use.
    Build();
    view->SetPath(folder + "a\\b");
    TComponent::Free(form);
    AllocationSpy spy;
    ASSERT_EQ(CoRegisterMallocSpy(&spy), S_OK);
    Build();
    view->SetPath(folder + "a\\b");
    std::vector<void*> lists;
    CollectData(view->Items().FirstNode(), lists);
    ASSERT_GT(lists.size(), 5u);
    for (void* list : lists)
        EXPECT_TRUE(spy.live.count(list)) << "a node's list comes from the shell allocator";
    HIMAGELIST systemIcons = TreeView_GetImageList(view->Handle(), TVSIL_NORMAL);
    spy.frees.clear(); // addresses freed so far may come back as node lists
    size_t calls = 0;
    view->OnDeletion = [&](TObject* sender, TTreeNode* node) {
        ++calls;
        EXPECT_EQ(sender, view);
        EXPECT_EQ(node->Data, nullptr);
        size_t released = 0;
        for (void* list : lists)
            released += spy.frees.count(list);
        EXPECT_EQ(released, calls) << "each call follows exactly one release";
    };
    TComponent::Free(form);
    EXPECT_EQ(calls, lists.size());
    for (void* list : lists)
        EXPECT_EQ(spy.frees[list], 1) << "released once";
    EXPECT_TRUE(spy.live.empty()) << spy.live.size() << " blocks left";
    CoRevokeMallocSpy();
    EXPECT_GT(ImageList_GetImageCount(systemIcons), 0) << "the system's icon list survives";
}

// ---- Names and filters through a folder with made-up answers ----

// What the made-up folder says of one of its real sub-folders.
struct Answer {
    SFGAOF attributes;
    const char* parsingName; // null: the real one
    UINT nameKind;           // how the in-folder name comes back
};

// Wraps a real folder: its enumeration, comparison and identifier lists are real, while
// attributes and names come from a table by sub-folder name.
class MadeUpFolder final : public IShellFolder {
public:
    MadeUpFolder(IShellFolder* real, std::map<std::string, Answer> answers)
        : real_(real), answers_(std::move(answers)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id != IID_IUnknown && id != IID_IShellFolder) return E_NOINTERFACE;
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*,
                                               ULONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND window, SHCONTF flags,
                                          IEnumIDList** items) override {
        return real_->EnumObjects(window, flags, items);
    }
    HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID,
                                            void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM column, PCUIDLIST_RELATIVE item1,
                                         PCUIDLIST_RELATIVE item2) override {
        return real_->CompareIDs(column, item1, item2);
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT count, PCUITEMID_CHILD_ARRAY items,
                                              SFGAOF* attributes) override {
        if (count != 1) return E_INVALIDARG;
        *attributes = AnswerOf(items[0]).attributes;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT*,
                                            void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD item, SHGDNF flags,
                                               STRRET* name) override {
        const std::string realName = RealName(item);
        const Answer& answer = AnswerOf(item);
        if ((flags & SHGDN_FORPARSING) && answer.parsingName) {
            name->uType = STRRET_CSTR;
            lstrcpynA(name->cStr, answer.parsingName, MAX_PATH);
            return S_OK;
        }
        if (flags & SHGDN_FORPARSING) return real_->GetDisplayNameOf(item, flags, name);
        name->uType = answer.nameKind;
        switch (answer.nameKind) {
        case STRRET_WSTR: {
            const std::wstring wide(realName.begin(), realName.end());
            name->pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc((wide.size() + 1) * 2));
            lstrcpyW(name->pOleStr, wide.c_str());
            break;
        }
        case STRRET_OFFSET: {
            // The item's own bytes hold the name; the answer points there.
            const auto* bytes = reinterpret_cast<const char*>(item);
            const std::string itemBytes(bytes, *reinterpret_cast<const USHORT*>(item));
            const size_t at = itemBytes.find(realName + '\0');
            if (at == std::string::npos) return E_FAIL;
            name->uOffset = static_cast<UINT>(at);
            break;
        }
        default: lstrcpynA(name->cStr, realName.c_str(), MAX_PATH);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF,
                                        PITEMID_CHILD*) override {
        return E_NOTIMPL;
    }

private:
    std::string RealName(PCUITEMID_CHILD item) {
        STRRET name{};
        char text[MAX_PATH] = "";
        if (SUCCEEDED(real_->GetDisplayNameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING, &name)))
            StrRetToBufA(&name, item, text, MAX_PATH);
        return text;
    }
    const Answer& AnswerOf(PCUITEMID_CHILD item) { return answers_.at(RealName(item)); }

    IShellFolder* real_;
    std::map<std::string, Answer> answers_;
};

TEST_F(FolderViewTest, TakesFoldersAndDrivesByAttributesAndParsingName) {
    const std::string folder = FreshFolder("fv-madeup");
    const std::map<std::string, Answer> answers = {
        {"wide", {SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER, nullptr, STRRET_WSTR}},
        {"offset", {SFGAO_FILESYSTEM, nullptr, STRRET_OFFSET}},
        {"cstr", {SFGAO_FILESYSANCESTOR, nullptr, STRRET_CSTR}},
        {"virtual", {SFGAO_HASSUBFOLDER, nullptr, STRRET_CSTR}},
        {"unknown", {SFGAO_FILESYSTEM, "Q:\\", STRRET_CSTR}}, // a letter with no drive
        {"fixed", {SFGAO_FILESYSTEM, "c:\\", STRRET_CSTR}},   // the first letter is not read
        {"beyond", {SFGAO_FILESYSTEM, "Q:\\x", STRRET_CSTR}}, // a folder, not a root
        {"colon", {SFGAO_FILESYSTEM, "Q:/", STRRET_CSTR}}};   // not a root either
    for (const auto& [name, answer] : answers)
        MakeFolders(folder + name);
    Build();
    TComPtr<IShellFolder> desktop, real;
    ASSERT_EQ(SHGetDesktopFolder(desktop.Receive()), S_OK);
    LPITEMIDLIST list = nullptr;
    std::wstring path(folder.begin(), folder.end());
    ASSERT_EQ(desktop->ParseDisplayName(nullptr, nullptr, path.data(), nullptr, &list, nullptr),
              S_OK);
    ASSERT_EQ(desktop->BindToObject(list, nullptr, IID_IShellFolder,
                                    reinterpret_cast<void**>(real.Receive())),
              S_OK);
    CoTaskMemFree(list);
    MadeUpFolder madeUp(real.Get(), answers);

    struct Case {
        const char* name;
        TDisplayDrives drives;
        const char* captions; // in the folder's own order
    };
    const Case cases[] = {
        {"initial", kDefaultDisplayDrives, "beyond colon cstr fixed offset wide"},
        {"with unknown drives", {ddUnknown}, "beyond colon cstr offset unknown wide"},
        {"no drives", {}, "beyond colon cstr offset wide"}};
    for (const Case& c : cases) {
        view->SetDisplayDrives(c.drives);
        view->Items().Clear();
        view->AddFolderItems(&madeUp, nullptr);
        EXPECT_EQ(Joined(Captions(view->Items().FirstNode())), c.captions) << c.name;
    }
    view->Items().Clear();
    view->AddFolderItems(&madeUp, nullptr);
    for (TTreeNode* node = view->Items().FirstNode(); node; node = node->NextSibling())
        EXPECT_EQ(node->HasChildren(), node->Text() == "wide") << node->Text();
}

} // namespace
