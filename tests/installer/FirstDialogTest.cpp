// The first dialog: its texts and stored choices, and the road from it through the run.
#include "FirstDialog.h"
#include "Drives.h"
#include "Files.h"
#include "Gui.h"
#include "Process.h"
#include "RegistryProbe.h"
#include "Wait.h"

#include <gtest/gtest.h>
#include <shlobj.h>

using namespace testbed;

namespace {

const char* const kKey = "Software\\Morvane\\Lumetra";

class FirstDialog : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTree(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { RegDeleteTree(HKEY_CURRENT_USER, "Software\\Morvane"); }

    TApplication application;
    TFormFirstDialog* dialog = application.CreateForm<TFormFirstDialog>();

    void Show() {
        dialog->ProjectName = "QUEST01";
        dialog->GameTitle = "Quest";
        dialog->FormShow(dialog);
    }
};

TEST_F(FirstDialog, NamesTheGameAndOffersTheProgramFilesFolderFirst) {
    Show();
    EXPECT_EQ(dialog->Label1->Text(), "Quest Installation");
    EXPECT_EQ(dialog->Label2->Text(), "QUEST01 folder will made under the specified path");
    EXPECT_EQ(dialog->DashBox1->Text(), "C:\\Program Files (x86)\\Morvane\\Lumetra\\");
    EXPECT_EQ(dialog->BasePath, dialog->DashBox1->Text());
    EXPECT_FALSE(dialog->CheckBox1->Checked());
    EXPECT_FALSE(dialog->CheckBox2->Checked());
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kKey)) << "the key is created empty";
}

TEST_F(FirstDialog, StoredBaseFolderAlwaysEndsWithABackslash) {
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\Games", "D:\\Games\\"}, {"D:\\Games\\", "D:\\Games\\"}, {"", "\\"}};
    for (const auto& [stored, shown] : cases) {
        RegSetString(HKEY_CURRENT_USER, kKey, "ApplicationPath", stored);
        Show();
        EXPECT_EQ(dialog->DashBox1->Text(), shown) << stored;
    }
    RegSetDword(HKEY_CURRENT_USER, kKey, "ApplicationPath", 1);
    EXPECT_THROW(Show(), ERegistryException);
}

TEST_F(FirstDialog, StoredChoicesReadAsNumbers) {
    struct Case {
        const char* text; // null: a DWORD of the given number
        DWORD number;
        bool checked;
    };
    const Case cases[] = {{"1", 0, true},
                          {"0", 0, false},
                          {"$1", 0, true},
                          {"$0", 0, false},
                          {"$a", 0, true},
                          {"two", 0, false},
                          {"", 0, false},
                          {"0x1", 0, false},
                          {"+1", 0, false},
                          {"-1", 0, false},
                          {"$", 0, false},
                          {" 1", 0, false},
                          {"99999999999", 0, false},
                          {nullptr, 1, true},
                          {nullptr, 0, false},
                          {nullptr, 7, true}};
    for (const Case& c : cases) {
        for (const char* value : {"RegisterProgramOption", "PrepareUninstallOption"}) {
            if (c.text)
                RegSetString(HKEY_CURRENT_USER, kKey, value, c.text);
            else
                RegSetDword(HKEY_CURRENT_USER, kKey, value, c.number);
        }
        Show();
        const std::string input =
            c.text ? std::string("\"") + c.text + "\"" : std::to_string(c.number);
        EXPECT_EQ(dialog->CheckBox1->Checked(), c.checked) << input;
        EXPECT_EQ(dialog->CheckBox2->Checked(), c.checked) << input;
    }
}

// ---- The program, driven through its windows ----

const char* const kDescription = "[Setup]\r\nProjectName=Project1\r\nGameTitle=The Game\r\n";

class FirstDialogRun : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTree(HKEY_CURRENT_USER, kKey);
        disk = FreshFolder("first-dialog-disk");
        CopyFileA(BuiltProgram("Setup.exe").c_str(), (disk + "Setup.exe").c_str(), FALSE);
        CopyFileA(BuiltProgram("stub_unlha.dll").c_str(), (disk + "UNLHA32.DLL").c_str(), FALSE);
        WriteFile(disk + "Setup.ini", kDescription);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        tempFolder = std::string(temp) + "LUM_TEMP\\";
        RemoveTree(tempFolder + "GameDisk");
        // The stub library unpacks nothing: the folder an archive would have made is there.
        gameFolder = "C:\\Games\\Project1\\";
        RegSetString(HKEY_CURRENT_USER, kKey, "ApplicationPath", "C:\\Games\\");
        RemoveTree(gameFolder);
        MakeFolders(gameFolder);
    }
    void TearDown() override {
        RegDeleteTree(HKEY_CURRENT_USER, "Software\\Morvane");
        RemoveTree(tempFolder);
        RegDeleteTree(
            HKEY_LOCAL_MACHINE,
            "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumetra Studio Project1");
        RemoveTree("C:\\Games\\"); // the base folder, made with the game folder
        char programs[MAX_PATH] = "";
        SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
        RemoveTree(std::string(programs) + "\\Lumetra Studio");
        DeleteFileA("C:\\windows\\zevizorezu.exe");
    }

    // Starts Setup from a CD-ROM drive and waits for the first dialog.
    HWND Start() {
        drive = std::make_unique<DriveMapping>(DriveKind::CdRom, disk);
        setup = std::make_unique<Process>(Process::Start(drive->Root() + "Setup.exe"));
        return WaitTopWindow(setup->Id(), "TFormFirstDialog", "Setup");
    }

    HWND Focus() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialogWindow, nullptr), &info);
        return info.hwndFocus;
    }

    void ExpectEndWithoutMessage() {
        DWORD exitCode = 1;
        bool boxSeen = false;
        const bool ended = WaitFor([&] {
            boxSeen |= WaitTopWindow(setup->Id(), "#32770", "", 0) != nullptr;
            return setup->WaitExit(0, &exitCode);
        });
        ASSERT_TRUE(ended);
        EXPECT_EQ(exitCode, 0u);
        EXPECT_FALSE(boxSeen);
        EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kKey, "RegisterProgramOption"));
        EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kKey, "PrepareUninstallOption"));
        EXPECT_FALSE(FolderExists(tempFolder + "GameDisk"));
    }

    // The windows a task bar gives a button: visible top-level windows without an owner, unless
    // they are tool windows, and those with the app-window style.
    std::vector<HWND> TaskBarWindows() {
        std::vector<HWND> shown;
        for (HWND window : TopWindows(setup->Id())) {
            const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
            if ((!GetWindow(window, GW_OWNER) && !(exStyle & WS_EX_TOOLWINDOW)) ||
                (exStyle & WS_EX_APPWINDOW))
                shown.push_back(window);
        }
        return shown;
    }

    bool Checked(const char* caption) {
        return SendMessageA(FindChild(dialogWindow, "TCheckBox", caption), BM_GETCHECK, 0, 0) ==
               BST_CHECKED;
    }

    // Expects "Installation done" after "Start Installation" was pressed, then the end.
    void ExpectInstallationDone() {
        const MessageBoxInfo done = WaitMessageBox(setup->Id());
        ASSERT_TRUE(done);
        EXPECT_EQ(done.text, "Installation done");
        EXPECT_EQ(done.icon, static_cast<UINT>(MB_ICONINFORMATION));
        EXPECT_TRUE(FolderExists(tempFolder + "GameDisk")) << "removed only after the message";
        Press(done, IDOK);
        DWORD exitCode = 1;
        ASSERT_TRUE(setup->WaitExit(20000, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_FALSE(FolderExists(tempFolder + "GameDisk"));
        EXPECT_TRUE(FolderExists(tempFolder));
    }

    std::string disk, tempFolder, gameFolder;
    std::unique_ptr<DriveMapping> drive;
    std::unique_ptr<Process> setup;
    HWND dialogWindow = nullptr;
};

TEST_F(FirstDialogRun, LayoutAndTabOrderAsTheUserSeesThem) {
    dialogWindow = Start();
    ASSERT_TRUE(dialogWindow);
    const RECT client = ClientRect(dialogWindow);
    EXPECT_EQ(client.right, 385);
    EXPECT_EQ(client.bottom, 233);
    const RECT screen = ScreenRect(dialogWindow);
    EXPECT_NEAR((screen.left + screen.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);

    struct Expected {
        const char* className;
        const char* text;
        RECT bounds;
    };
    const Expected controls[] = {
        {"TGroupBox", "Default Install Path", {8, 56, 377, 97}},
        // The path box takes its height from its font: "MS Sans Serif" of -12 measures 13
        // pixels under Wine, one more than on Windows, so the box is 21 high here.
        {"TDashBox", "C:\\Games\\", {8, 15, 361, 36}},
        {"TGroupBox", "Options", {8, 104, 377, 165}},
        {"TCheckBox", "Add Games Shortcut In Start Menu", {8, 16, 361, 33}},
        {"TCheckBox", "Include Game Uninstall Option", {8, 36, 361, 53}},
        {"TButton", "Start Installation", {64, 184, 185, 217}},
        {"TButton", "&Cancel", {200, 184, 321, 217}}};
    std::vector<HWND> windows;
    for (const Expected& expected : controls) {
        HWND control = FindChild(dialogWindow, expected.className, expected.text);
        ASSERT_TRUE(control) << expected.className << " " << expected.text;
        const RECT bounds = RectInParent(control);
        EXPECT_TRUE(EqualRect(&bounds, &expected.bounds))
            << expected.text << ": " << bounds.left << "," << bounds.top << "," << bounds.right
            << "," << bounds.bottom;
        windows.push_back(control);
    }
    EXPECT_NE(StyleOf(windows[5]) & BS_DEFPUSHBUTTON, 0) << "Start Installation is the default";

    // Tab goes from the path box through the check boxes to the buttons and round again.
    const std::vector<HWND> order = {windows[1], windows[3], windows[4],
                                     windows[5], windows[6], windows[1]};
    EXPECT_TRUE(WaitFor([&] { return Focus() == order[0]; })) << "the path box has the focus";
    for (size_t i = 1; i < order.size(); ++i) {
        PressKey(Focus(), VK_TAB);
        EXPECT_TRUE(WaitFor([&] { return Focus() == order[i]; }, 5000)) << "tab stop " << i;
    }
    PressKey(Focus(), VK_ESCAPE);
    ExpectEndWithoutMessage();
}

TEST_F(FirstDialogRun, CancelWritesNothingAfterTheChoicesChanged) {
    const char* const ways[] = {"button",         "Esc", "close box", "Alt+C", "C on a check box",
                                "Enter on Cancel"};
    for (const std::string how : ways) {
        SCOPED_TRACE(how);
        dialogWindow = Start();
        ASSERT_TRUE(dialogWindow);
        ASSERT_TRUE(WaitFor([&] { return Focus() == FindChild(dialogWindow, "TDashBox"); }));
        // Both choices turned on first: none of them may be stored. The click leaves the focus
        // on the second box.
        Click(FindChild(dialogWindow, "TCheckBox", "Add Games Shortcut In Start Menu"));
        Click(FindChild(dialogWindow, "TCheckBox", "Include Game Uninstall Option"));
        ASSERT_TRUE(WaitFor([&] {
            return Checked("Add Games Shortcut In Start Menu") &&
                   Checked("Include Game Uninstall Option") &&
                   TextOf(Focus()) == "Include Game Uninstall Option";
        }));
        if (how == "button") {
            Click(FindChild(dialogWindow, "TButton", "&Cancel"));
        } else if (how == "Esc") {
            TypeKeys({VK_ESCAPE});
        } else if (how == "close box") {
            testbed::CloseWindow(dialogWindow);
        } else if (how == "Alt+C") {
            TypeKeys({VK_MENU, 'C'});
        } else if (how == "C on a check box") {
            TypeKeys({'C'});
        } else {
            TypeKeys({VK_TAB});
            TypeKeys({VK_TAB});
            ASSERT_TRUE(WaitFor([&] { return TextOf(Focus()) == "&Cancel"; }));
            TypeKeys({VK_RETURN});
        }
        ExpectEndWithoutMessage();
    }
}

TEST_F(FirstDialogRun, KeyboardAloneInstallsTheGame) {
    dialogWindow = Start();
    ASSERT_TRUE(dialogWindow);
    HWND shortcut = FindChild(dialogWindow, "TCheckBox", "Add Games Shortcut In Start Menu");
    HWND uninstall = FindChild(dialogWindow, "TCheckBox", "Include Game Uninstall Option");
    HWND pathBox = FindChild(dialogWindow, "TDashBox");
    HWND cancel = FindChild(dialogWindow, "TButton", "&Cancel");
    ASSERT_TRUE(WaitFor([&] { return Focus() == pathBox; }));
    struct Step {
        std::initializer_list<WORD> keys;
        HWND focus;
        bool shortcut, uninstall;
    };
    // Round from the first stop to the last and back, then into the options group and out of it
    // again, ticking both boxes and clearing the first.
    const Step steps[] = {
        {{VK_SHIFT, VK_TAB}, cancel, false, false}, {{VK_TAB}, pathBox, false, false},
        {{VK_TAB}, shortcut, false, false},         {{VK_SPACE}, shortcut, true, false},
        {{VK_TAB}, uninstall, true, false},         {{VK_SPACE}, uninstall, true, true},
        {{VK_SHIFT, VK_TAB}, shortcut, true, true}, {{VK_SPACE}, shortcut, false, true}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        TypeKeys(steps[i].keys);
        EXPECT_TRUE(WaitFor(
            [&] {
                return Focus() == steps[i].focus &&
                       Checked("Add Games Shortcut In Start Menu") == steps[i].shortcut &&
                       Checked("Include Game Uninstall Option") == steps[i].uninstall;
            },
            5000))
            << "step " << i;
    }
    // Enter on a check box presses the default button, "Start Installation".
    TypeKeys({VK_RETURN});
    ExpectInstallationDone();
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kKey, "RegisterProgramOption"), "0");
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kKey, "PrepareUninstallOption"), "1");
}

// Whether window lies above other in the Z order.
bool IsAbove(HWND window, HWND other) {
    for (HWND next = GetWindow(window, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
        if (next == other) return true;
    return false;
}

TEST_F(FirstDialogRun, OneTaskBarButtonTitledSetupHidesAndRestoresTheWindows) {
    dialogWindow = Start();
    ASSERT_TRUE(dialogWindow);
    HWND background = WaitTopWindow(setup->Id(), "TFormBackground");
    const std::vector<HWND> buttons = TaskBarWindows();
    ASSERT_EQ(buttons.size(), 1u);
    HWND application = buttons.front();
    EXPECT_EQ(TextOf(application), "Setup       ");
    const RECT seen = ScreenRect(application);
    EXPECT_TRUE(IsRectEmpty(&seen)) << "the window of the button is never seen";
    EXPECT_EQ(GetWindow(dialogWindow, GW_OWNER), application);
    EXPECT_EQ(GetWindow(background, GW_OWNER), application);

    // Minimised and restored from the task bar, with the first dialog and then with a message
    // box on top: the windows go and come back in their order, and the keyboard reaches the top
    // one again.
    auto minimiseAndRestore = [&](HWND top) {
        auto minimised = [&] {
            return IsIconic(application) && !IsWindowVisible(top) && !IsWindowVisible(background);
        };
        // Wine's message box shows itself once more when its loop first finds no message, and
        // nothing outside tells when that has happened: a minimise that came earlier is undone
        // by it, and the user minimises again, as the test does then.
        bool hidden = false;
        for (int attempt = 0; attempt < 3 && !hidden; ++attempt) {
            if (IsIconic(application)) {
                PostMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
                WaitFor([&] { return !IsIconic(application); }, 5000);
            }
            PostMessageA(application, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            hidden = WaitFor(minimised, 5000);
        }
        EXPECT_TRUE(hidden) << ClassOf(top);
        EXPECT_EQ(TaskBarWindows(), std::vector<HWND>{application}) << "the button stays";
        PostMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_TRUE(WaitFor([&] {
            return !IsIconic(application) && IsWindowVisible(top) && IsWindowVisible(background);
        }));
        EXPECT_TRUE(WaitFor([&] { return IsAbove(top, background); }));
        EXPECT_EQ(TaskBarWindows(), std::vector<HWND>{application});
        EXPECT_TRUE(WaitFor([&] { return IsChild(top, Focus()); })) << "the focus comes back";
    };
    minimiseAndRestore(dialogWindow);
    TypeKeys({VK_TAB});
    EXPECT_TRUE(WaitFor([&] { return ClassOf(Focus()) == "TCheckBox"; }));
    TypeKeys({VK_RETURN});

    // The shell's copy shows a window of the same class on the way: wait for the message box.
    MessageBoxInfo done;
    ASSERT_TRUE(WaitFor([&] {
        done = WaitMessageBox(setup->Id(), 0);
        return done.text == "Installation done";
    }));
    EXPECT_EQ(done.owner, application);
    const RECT box = ScreenRect(done.window),
               screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT onScreen;
    IntersectRect(&onScreen, &box, &screen);
    EXPECT_TRUE(EqualRect(&onScreen, &box)) << "the box lies on the screen";
    // Wine shows a message box first and raises it as it activates it.
    EXPECT_TRUE(WaitFor([&] { return IsAbove(done.window, background); }));
    minimiseAndRestore(done.window);
    TypeKeys({VK_RETURN});
    EXPECT_TRUE(setup->WaitExit(20000));
}

TEST_F(FirstDialogRun, StartStoresTheChoicesAndRemovesTheTemporaryFolder) {
    // Left by an interrupted run: emptied before the new one and removed after it.
    WriteFile(tempFolder + "GameDisk\\old.001", "old");
    SetFileAttributesA((tempFolder + "GameDisk\\old.001").c_str(), FILE_ATTRIBUTE_READONLY);
    for (const char* stored : {"0", "1"}) {
        SCOPED_TRACE(stored);
        RegSetString(HKEY_CURRENT_USER, kKey, "RegisterProgramOption", stored);
        RegSetString(HKEY_CURRENT_USER, kKey, "PrepareUninstallOption", stored);
        dialogWindow = Start();
        ASSERT_TRUE(dialogWindow);
        // The user turns both choices round.
        Click(FindChild(dialogWindow, "TCheckBox", "Add Games Shortcut In Start Menu"));
        Click(FindChild(dialogWindow, "TCheckBox", "Include Game Uninstall Option"));
        Click(FindChild(dialogWindow, "TButton", "Start Installation"));
        ExpectInstallationDone();
        const std::string turned = std::string(stored) == "0" ? "1" : "0";
        EXPECT_EQ(RegString(HKEY_CURRENT_USER, kKey, "RegisterProgramOption"), turned);
        EXPECT_EQ(RegString(HKEY_CURRENT_USER, kKey, "PrepareUninstallOption"), turned);
        EXPECT_EQ(RegString(HKEY_CURRENT_USER, kKey, "ApplicationPath"), "C:\\Games\\")
            << "the run does not write the base folder";
    }
}

TEST_F(FirstDialogRun, TheRunNeverWritesTheBaseFolder) {
    // Without a stored base folder the dialog offers the Program Files one, and the run leaves
    // the value missing.
    RegDeleteTree(HKEY_CURRENT_USER, kKey);
    const std::string company =
        RegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion",
                  "ProgramFilesDir")
            .value_or("") +
        "\\Morvane\\";
    const bool companyExisted = FolderExists(company);
    MakeFolders(company + "Lumetra\\Project1");
    dialogWindow = Start();
    ASSERT_TRUE(dialogWindow);
    EXPECT_EQ(TextOf(FindChild(dialogWindow, "TDashBox")), company + "Lumetra\\");
    Click(FindChild(dialogWindow, "TButton", "Start Installation"));
    ExpectInstallationDone();
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kKey));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kKey, "ApplicationPath"));
    if (!companyExisted) RemoveTree(company);
}

} // namespace
