// The install path dialog: which texts the OK button takes, the checks behind it and their
// messages, the folder handed in, and the road from the first dialog to an installed game.
#include "InstallPath.h"
#include "Drives.h"
#include "Files.h"
#include "Gui.h"
#include "Process.h"
#include "RegistryProbe.h"
#include "Wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace testbed;

namespace {

const char* const kTitle = "Setup       ";

class InstallPath : public ::testing::Test {
protected:
    InstallPath() {
        application.Initialize();
        application.SetTitle(kTitle);
    }

    TFormInstallPath* Create(const std::string& selected) {
        dialog = new TFormInstallPath(&application);
        dialog->AfterConstruction();
        dialog->SelectedPath = selected;
        dialog->FormShow(dialog);
        return dialog;
    }

    // Presses OK and answers the message boxes that come, in order (OK for any beyond the
    // list); returns what they said, each text after the letter of its icon.
    std::string PressOk(std::vector<int> answers = {}) {
        std::atomic<bool> done = false;
        std::string said;
        std::thread answerer([&] {
            while (!done) {
                const MessageBoxInfo box = WaitMessageBox(GetCurrentProcessId(), 0);
                if (!box) {
                    Sleep(10);
                    continue;
                }
                EXPECT_EQ(box.caption, kTitle);
                if (!said.empty()) said += " | ";
                said += box.icon == MB_ICONQUESTION ? '?' : box.icon == MB_ICONERROR ? '!' : '-';
                said += box.text;
                const int answer = answers.empty() ? IDOK : answers.front();
                if (!answers.empty()) answers.erase(answers.begin());
                Press(box, answer);
            }
        });
        dialog->ButtonOkClick(dialog);
        done = true;
        answerer.join();
        return said;
    }

    TApplication application;
    TFormInstallPath* dialog = nullptr;
};

TEST_F(InstallPath, LayoutAsDesigned) {
    Create("C:\\");
    EXPECT_EQ(dialog->Text(), "Default Install Path");
    EXPECT_EQ(dialog->ClientWidth(), 385);
    EXPECT_EQ(dialog->ClientHeight(), 305);
    // In tab order.
    const std::pair<TWinControl*, RECT> controls[] = {{dialog->FolderView1, {8, 8, 377, 236}},
                                                      {dialog->Edit1, {8, 240, 377, 260}},
                                                      {dialog->ButtonOk, {192, 272, 281, 297}},
                                                      {dialog->ButtonCancel, {288, 272, 377, 297}}};
    for (int i = 0; i < 4; ++i) {
        const auto& [control, bounds] = controls[i];
        const RECT shown = RectInParent(control->Handle());
        EXPECT_TRUE(EqualRect(&shown, &bounds)) << control->ClassName() << " " << control->Text();
        EXPECT_EQ(control->TabOrder(), i) << control->ClassName() << " " << control->Text();
    }
    EXPECT_TRUE(dialog->ButtonOk->Default);
    EXPECT_TRUE(dialog->ButtonCancel->Cancel);
    EXPECT_EQ(dialog->FolderView1->DisplayDrives(),
              (TDisplayDrives{ddRemovable, ddFixed, ddRemote}));
    EXPECT_EQ(dialog->FolderView1->Indent(), 19);
    EXPECT_EQ(dialog->ButtonCancel->ModalResult, mrCancel);
}

TEST_F(InstallPath, OkTakesOnlyADriveLetterColonAndBackslash) {
    Create("C:\\");
    const std::pair<std::string, bool> cases[] = {
        {"c:\\", true},        {"C:\\Games", true}, {"C:", false},   {"1:\\GAMES", false},
        {"", false},           {"C:/Games", false}, {":\\x", false}, {"\\\\srv\\share", false},
        {"\x83\x51:\\", false}};
    for (const auto& [text, enabled] : cases) {
        dialog->Edit1->SetText(text);
        EXPECT_EQ(dialog->ButtonOk->Enabled(), enabled) << text;
    }
}

TEST_F(InstallPath, ChecksTheDriveThenTheFolderAndSaysWhy) {
    const std::string root = FreshFolder("ip-check");
    MakeFolders(root + "exists");
    WriteFile(root + "file", "x");
    const std::string disk = FreshFolder("ip-disk");
    DriveMapping cdrom(DriveKind::CdRom, disk);
    DriveMapping emptyDrive(DriveKind::Floppy, TestRoot() + "ip-no-diskette");
    const std::string share = FreshFolder("ip-share");
    MakeFolders(share + "GAMES");
    DriveMapping network(DriveKind::Network, share);
    const std::string notInstallable =
        "!The game can't be installed on this drive. Choose a hard disk or a network drive";
    const std::string askMake = "?The folder does not exist. Do you want to create it?";
    struct Case {
        std::string typed;
        std::vector<int> answers;
        std::string said;
        std::string accepted; // empty: refused
    };
    const Case cases[] = {
        {root + "exists", {}, "", root + "exists\\"},
        {root + "exists\\", {}, "", root + "exists\\"},
        {root + "missing\\..\\exists", {}, "", root + "exists\\"},
        {cdrom.Root() + "GAMES", {}, notInstallable, ""},
        {"Q:\\GAMES", {}, notInstallable, ""},
        // Wine names every drive " (X:)", so its floppy-type drive counts as a removable drive
        // that is no floppy drive and, without a medium, is not ready. On Windows a floppy drive
        // gets the not-installable message instead, with or without a diskette.
        {emptyDrive.Root() + "GAMES", {}, "!The drive is not ready", ""},
        {root + "new\\deeper", {IDNO}, askMake, ""},
        {root + "new\\deeper", {IDYES}, askMake, root + "new\\deeper\\"},
        {root + "file\\sub", {IDYES}, askMake + " | !The folder could not be created", ""},
        {root + "file", {IDYES}, askMake + " | !The folder could not be created", ""},
        // A network drive is as good as a hard disk.
        {network.Root() + "GAMES", {}, "", network.Root() + "GAMES\\"},
        {network.Root() + "NEW", {IDYES}, askMake, network.Root() + "NEW\\"},
    };
    for (const Case& c : cases) {
        // A new dialog for each, as the first dialog makes one for each use.
        if (dialog) TComponent::Free(dialog);
        Create("C:\\");
        dialog->Edit1->SetText(c.typed);
        EXPECT_EQ(PressOk(c.answers), c.said) << c.typed;
        EXPECT_EQ(dialog->ModalResult(), c.accepted.empty() ? mrNone : mrOk) << c.typed;
        if (!c.accepted.empty()) {
            EXPECT_EQ(dialog->SelectedPath, c.accepted) << c.typed;
        }
        EXPECT_EQ(dialog->Edit1->Text(), c.typed) << "the edit box keeps the text";
    }
    EXPECT_FALSE(FolderExists(root + "missing")) << "a resolved part is never made";
    EXPECT_FALSE(FolderExists(disk + "GAMES"));
}

TEST_F(InstallPath, OpensAtTheHandedInFolder) {
    const std::string root = FreshFolder("ip-open");
    const std::string disk = FreshFolder("ip-open-disk");
    MakeFolders(disk + "GAMES");
    DriveMapping cdrom(DriveKind::CdRom, disk);

    Create(root);
    EXPECT_EQ(dialog->Edit1->Text(), "C:\\lumtest\\ip-open");
    EXPECT_TRUE(dialog->ButtonOk->Enabled());

    // A missing folder leaves the tree's first node, and its path, in place.
    dialog = new TFormInstallPath(&application);
    dialog->AfterConstruction();
    const std::string firstNodePath = dialog->Edit1->Text();
    const bool takenBefore = dialog->ButtonOk->Enabled();
    EXPECT_NE(firstNodePath, "Edit1") << "the tree's first selection replaces the design text";
    dialog->SelectedPath = root + "missing\\";
    dialog->FormShow(dialog);
    EXPECT_EQ(dialog->Edit1->Text(), firstNodePath);
    EXPECT_EQ(dialog->ButtonOk->Enabled(), takenBefore);

    Create(cdrom.Root() + "GAMES\\");
    EXPECT_EQ(dialog->Edit1->Text(), "");
    EXPECT_FALSE(dialog->ButtonOk->Enabled());
}

TEST_F(InstallPath, SwitchesCriticalErrorBoxesOffWhileItExists) {
    const UINT before = SetErrorMode(0);
    Create("C:\\");
    EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS));
    TComponent::Free(dialog);
    EXPECT_EQ(GetErrorMode(), 0u);
    SetErrorMode(before);
}

// ---- From the first dialog, as the user does it ----

const char* const kKey = "Software\\Morvane\\Lumetra";

class InstallPathRun : public ::testing::Test {
protected:
    void SetUp() override {
        base = FreshFolder("ip-run-base");
        chosen = TestRoot() + "ip-run-games\\";
        RemoveTree(chosen);
        RegDeleteTree(HKEY_CURRENT_USER, kKey);
        RegSetString(HKEY_CURRENT_USER, kKey, "ApplicationPath", base);
        const std::string disk = FreshFolder("ip-run-disk");
        CopyFileA(BuiltProgram("Setup.exe").c_str(), (disk + "Setup.exe").c_str(), FALSE);
        CopyFileA(BuiltProgram("UNLHA32.DLL").c_str(), (disk + "UNLHA32.DLL").c_str(), FALSE);
        CopyFileA(Fixture("Project1.lzh").c_str(), (disk + "Project1.lzh").c_str(), FALSE);
        WriteFile(disk + "Setup.ini", "[Setup]\r\nProjectName=Project1\r\nGameTitle=The Game\r\n");
        drive = std::make_unique<DriveMapping>(DriveKind::CdRom, disk);
        setup = std::make_unique<Process>(Process::Start(drive->Root() + "Setup.exe"));
        first = WaitTopWindow(setup->Id(), "TFormFirstDialog", "Setup");
        pathBox = FindChild(first, "TDashBox");
    }
    void TearDown() override {
        RegDeleteTree(HKEY_CURRENT_USER, "Software\\Morvane");
        RemoveTree(SetupTempFolder());
    }

    static std::string Fixture(const std::string& name) {
        return ExeFolder() + "fixtures\\sample-game\\" + name;
    }

    HWND Open() {
        PressKey(pathBox, VK_SPACE);
        return WaitTopWindow(setup->Id(), "TFormInstallPath", "Default Install Path");
    }

    std::string base, chosen;
    std::unique_ptr<DriveMapping> drive;
    std::unique_ptr<Process> setup;
    HWND first = nullptr, pathBox = nullptr;
};

TEST_F(InstallPathRun, CancelChangesNothingAndAnAcceptedFolderIsWhereTheGameGoes) {
    ASSERT_TRUE(pathBox);
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    const RECT over = ScreenRect(first), shown = ScreenRect(dialog);
    EXPECT_NEAR((shown.left + shown.right) / 2, (over.left + over.right) / 2, 1);
    EXPECT_NEAR((shown.top + shown.bottom) / 2, (over.top + over.bottom) / 2, 1);
    HWND edit = FindChild(dialog, "TEdit");
    EXPECT_EQ(TextOf(edit), base.substr(0, base.size() - 1)) << "opened at the base folder";
    Click(FindChild(dialog, "TButton", "&Cancel"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << "released after use";
    EXPECT_EQ(TextOf(pathBox), base);

    dialog = Open();
    ASSERT_TRUE(dialog);
    edit = FindChild(dialog, "TEdit");
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
    Click(FindChild(dialog, "TButton", "&Ok"));
    const MessageBoxInfo question = WaitMessageBox(setup->Id());
    ASSERT_TRUE(question);
    EXPECT_EQ(question.icon, static_cast<UINT>(MB_ICONQUESTION));
    Press(question, IDYES);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(TextOf(pathBox), chosen);

    Click(FindChild(first, "TButton", "Start Installation"));
    const MessageBoxInfo done = WaitMessageBox(setup->Id(), 60000);
    EXPECT_EQ(done.text, "Installation done");
    Press(done, IDOK);
    EXPECT_TRUE(setup->WaitExit(20000));
    EXPECT_EQ(ReadFile(chosen + "Project1\\LUM_RT.exe"), ReadFile(Fixture("game\\LUM_RT.exe")));
}

TEST_F(InstallPathRun, KeyboardReachesEveryControlAndTheTreeAndTheEditKeepTheirKeys) {
    ASSERT_TRUE(pathBox);
    MakeFolders(base + "Sub");
    auto focus = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(first, nullptr), &info);
        return info.hwndFocus;
    };
    ASSERT_TRUE(WaitFor([&] { return focus() == pathBox; }));
    TypeKeys({VK_SPACE});
    HWND dialog = WaitTopWindow(setup->Id(), "TFormInstallPath", "Default Install Path");
    ASSERT_TRUE(dialog);
    HWND tree = FindChild(dialog, "TFolderView"), edit = FindChild(dialog, "TEdit");
    HWND ok = FindChild(dialog, "TButton", "&Ok"), cancel = FindChild(dialog, "TButton", "&Cancel");
    ASSERT_TRUE(WaitFor([&] { return focus() == tree; })) << "the tree has the focus first";

    // Round the tab stops and back one; the arrow keys, "+" and Home stay with the tree.
    struct Step {
        std::initializer_list<WORD> keys;
        HWND focus;
        const char* path; // the text of the edit box afterwards
    };
    const std::string opened = base.substr(0, base.size() - 1), sub = base + "Sub";
    const Step steps[] = {{{VK_TAB}, edit, nullptr},
                          {{VK_TAB}, ok, nullptr},
                          {{VK_TAB}, cancel, nullptr},
                          {{VK_TAB}, tree, nullptr},
                          {{VK_SHIFT, VK_TAB}, cancel, nullptr},
                          {{VK_TAB}, tree, opened.c_str()},
                          {{VK_ADD}, tree, opened.c_str()},
                          {{VK_DOWN}, tree, sub.c_str()},
                          {{VK_UP}, tree, opened.c_str()},
                          {{VK_HOME}, tree, nullptr},
                          {{VK_END}, tree, nullptr},
                          {{VK_HOME}, tree, nullptr}};
    std::string lastPath = TextOf(edit);
    for (size_t i = 0; i < std::size(steps); ++i) {
        TypeKeys(steps[i].keys);
        EXPECT_TRUE(WaitFor([&] {
            return focus() == steps[i].focus && (!steps[i].path || TextOf(edit) == steps[i].path);
        }, 5000)) << "step " << i << ": " << TextOf(edit);
        if (i >= 9) {
            // Home and End move the selection to the first and the last node.
            EXPECT_TRUE(WaitFor([&] { return TextOf(edit) != lastPath; }, 5000)) << "step " << i;
        }
        lastPath = TextOf(edit);
    }

    // Reached by Tab, the edit box has its text selected, and a letter typed there replaces it
    // instead of pressing "&Cancel"; Alt+C does press it.
    TypeKeys({VK_TAB});
    ASSERT_TRUE(WaitFor([&] { return focus() == edit; }));
    TypeKeys({'C'});
    EXPECT_TRUE(WaitFor([&] { return TextOf(edit) == "c"; })) << TextOf(edit);
    EXPECT_FALSE(IsEnabled(ok)) << "not a path";
    TypeKeys({VK_MENU, 'C'});
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(TextOf(pathBox), base);
    EXPECT_TRUE(WaitFor([&] { return focus() == pathBox; })) << "back on the path box";

    // Esc leaves only the install path dialog; Alt+O takes the folder chosen with the keys.
    TypeKeys({VK_SPACE});
    dialog = WaitTopWindow(setup->Id(), "TFormInstallPath", "Default Install Path");
    ASSERT_TRUE(dialog);
    TypeKeys({VK_ESCAPE});
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    ASSERT_TRUE(WaitFor([&] { return focus() == pathBox; }));
    TypeKeys({VK_SPACE});
    dialog = WaitTopWindow(setup->Id(), "TFormInstallPath", "Default Install Path");
    ASSERT_TRUE(dialog);
    edit = FindChild(dialog, "TEdit");
    ASSERT_TRUE(WaitFor([&] { return focus() == FindChild(dialog, "TFolderView"); }));
    TypeKeys({VK_ADD});
    TypeKeys({VK_DOWN});
    ASSERT_TRUE(WaitFor([&] { return TextOf(edit) == sub; }));
    TypeKeys({VK_MENU, 'O'});
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(TextOf(pathBox), sub + "\\");

    // Alt+C in the first dialog ends the program.
    ASSERT_TRUE(WaitFor([&] { return focus() == pathBox; }));
    TypeKeys({VK_MENU, 'C'});
    EXPECT_TRUE(setup->WaitExit(20000));
}

} // namespace
