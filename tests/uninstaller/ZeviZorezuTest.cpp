// The uninstaller end to end: the real zevizorezu.exe started as the system's list of programs
// starts it, its question answered, and what it leaves behind read back.
#include "Files.h"
#include "Gui.h"
#include "Process.h"
#include "RegistryProbe.h"
#include "Wait.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <type_traits>

namespace {

using Tree = std::vector<std::string>;

// The texts of the question in code page 932: "アンインストールの確認" and
// "%s をアンインストールしますか？" after the title.
const std::string kCaption = "\x83\x41\x83\x93\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5B\x83\x8B"
                             "\x82\xCC\x8A\x6D\x94\x46";
const std::string kQuestion = " \x82\xF0\x83\x41\x83\x93\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5B"
                              "\x83\x8B\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81\x48";
const std::string kGameSub = "\x83\x51\x81\x5B\x83\x80"; // "ゲーム"
const std::string kSo = "\x83\x5C";                      // katakana so: second byte 0x5C
const std::string kBranch = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kProduct = "Lumetra Studio Uninstall Test";

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::string(path) + "\\";
}

std::string Programs() {
    return ShellFolder(CSIDL_PROGRAMS);
}

// The uninstaller where the installer would leave it: one copy outside every game folder.
const std::string& Uninstaller() {
    static const std::string path = [] {
        const std::string copy = testbed::FreshFolder("uninst-windows") + "zevizorezu.exe";
        CopyFileA(testbed::BuiltProgram("zevizorezu.exe").c_str(), copy.c_str(), FALSE);
        return copy;
    }();
    return path;
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string InstallData(const std::string& title, const std::string& keyName,
                        const std::string& shortcutName) {
    return "[Install Data]\r\nTitle=" + title + "\r\nUninstallKeyName=" + keyName +
           "\r\nShortcutName=" + shortcutName + "\r\n";
}

// A game as the installer leaves it: its folder with files and the install data, its shortcut
// to the game's LUM_RT.exe under the Programs folder and its uninstall key, whose command names
// the install data.
struct Game {
    std::string folder;
    std::string installData;
    std::string shortcutName;
    std::string keyName;
};

Game InstallGame(const std::string& folderName, const std::string& title, const Tree& files) {
    Game game;
    game.folder = testbed::FreshFolder(folderName);
    game.installData = game.folder + "LUM_RT.ind";
    game.shortcutName = kProduct + "\\" + kGameSub + "\\" + title + ".lnk";
    game.keyName = kBranch + "Lumetra Studio " + folderName;
    for (const std::string& file : files)
        testbed::WriteFile(game.folder + file, file);
    testbed::WriteFile(game.installData, InstallData(title, game.keyName, game.shortcutName));
    testbed::RemoveTree(Programs() + kProduct);
    testbed::MakeShortcut(Programs() + game.shortcutName, game.folder + "LUM_RT.exe");
    testbed::RegDeleteTree(HKEY_LOCAL_MACHINE, game.keyName);
    testbed::RegSetString(HKEY_LOCAL_MACHINE, game.keyName, "DisplayName", title);
    testbed::RegSetString(HKEY_LOCAL_MACHINE, game.keyName, "UninstallString",
                          Uninstaller() + " " + Quoted(game.installData));
    return game;
}

struct SilentRun {
    bool ended = false;
    DWORD exitCode = 1;
    bool showedWindow = false;
};

// Runs the uninstaller with args and watches for any window until it ends by itself.
SilentRun RunSilently(const std::string& args) {
    const testbed::Process process = testbed::Process::Start(Uninstaller(), args);
    SilentRun run;
    run.ended = testbed::WaitFor([&] {
        run.showedWindow = run.showedWindow || !testbed::TopWindows(process.Id()).empty();
        return !process.Running();
    });
    process.WaitExit(0, &run.exitCode);
    return run;
}

bool IsDefaultButton(HWND button) {
    return (testbed::StyleOf(button) & 0x0F) == BS_DEFPUSHBUTTON;
}

// Starts the uninstaller for the install data, checks its one question, answers it and
// expects the program to end with 0.
void Answer(const std::string& installData, const std::string& title, int answer) {
    const testbed::Process process = testbed::Process::Start(Uninstaller(), Quoted(installData));
    const testbed::MessageBoxInfo box = testbed::WaitMessageBox(process.Id());
    ASSERT_TRUE(box) << "no question for " << installData;
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.text, title + kQuestion);
    EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_TRUE(testbed::HasButton(box, IDYES) && testbed::HasButton(box, IDNO));
    EXPECT_FALSE(testbed::HasButton(box, IDCANCEL));
    EXPECT_TRUE(IsDefaultButton(GetDlgItem(box.window, IDYES)));
    EXPECT_EQ(testbed::TopWindows(process.Id()), std::vector<HWND>{box.window});
    testbed::Press(box, answer);
    DWORD exitCode = 1;
    ASSERT_TRUE(process.WaitExit(testbed::kDefaultTimeoutMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST(ZeviZorezu, EndsSilentlyWithoutArgumentTitleOrAFolderItMayRemove) {
    const std::string folder = testbed::FreshFolder("uninst-silent");
    const std::string titled = InstallData("The Game", "", "");
    const struct {
        std::string label;
        std::string installData; // the argument; empty: none
        std::string content;     // written before the run and expected to stay, unless empty
    } cases[] = {
        {"no argument", "", ""},
        {"missing file", folder + "missing\\LUM_RT.ind", ""},
        {"no section", folder + "LUM_RT.ind", "[Other]\r\nTitle=The Game\r\n"},
        {"empty title", folder + "LUM_RT.ind", InstallData("", kBranch + "X", "A\\B.lnk")},
        {"drive root", "C:\\LUM_RT.ind", titled},
        {"Windows folder", ShellFolder(CSIDL_WINDOWS) + "LUM_RT.ind", titled},
        {"profile", ShellFolder(CSIDL_PROFILE) + "LUM_RT.ind", titled},
    };
    for (const auto& [label, installData, content] : cases) {
        if (!content.empty()) testbed::WriteFile(installData, content);
        const SilentRun run = RunSilently(installData.empty() ? "" : Quoted(installData));
        EXPECT_TRUE(run.ended) << label;
        EXPECT_EQ(run.exitCode, 0u) << label;
        EXPECT_FALSE(run.showedWindow) << label;
        if (!content.empty()) {
            EXPECT_TRUE(testbed::FileExists(installData)) << label;
            DeleteFileA(installData.c_str());
        }
    }
}

TEST(ZeviZorezu, NoRemovesNothing) {
    const Game game = InstallGame("uninst-no", "The Game", {"game.exe", "data\\a.dat"});
    const Tree before = testbed::ListTree(game.folder);
    Answer(game.installData, "The Game", IDNO);
    EXPECT_EQ(testbed::ListTree(game.folder), before);
    EXPECT_TRUE(testbed::FileExists(Programs() + game.shortcutName));
    EXPECT_TRUE(testbed::RegKeyExists(HKEY_LOCAL_MACHINE, game.keyName));
    testbed::RegDeleteTree(HKEY_LOCAL_MACHINE, game.keyName);
    testbed::RemoveTree(Programs() + kProduct);
}

TEST(ZeviZorezu, YesRemovesGameShortcutAndKeyAndNothingElse) {
    const Game game = InstallGame("uninst-yes", "The Game",
                                  {"game.exe", "data\\a.dat", "data\\deep\\er\\b.dat", "hidden.dat",
                                   "data\\system.dat", ".config"});
    SetFileAttributesA((game.folder + "hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((game.folder + "data\\system.dat").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_EQ(GetFileAttributesA((game.folder + "data\\system.dat").c_str()) &
                  (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        << "the test bed keeps no hidden or system attribute";
    testbed::RegSetString(HKEY_LOCAL_MACHINE, game.keyName + "\\Sub1\\Deep", "V", "1");
    testbed::RegSetString(HKEY_LOCAL_MACHINE, game.keyName + "\\Sub2", "V", "2");
    const std::string sibling = kBranch + "Lumetra Studio uninst-yes other";
    testbed::RegSetString(HKEY_LOCAL_MACHINE, sibling, "DisplayName", "Other");

    Answer(game.installData, "The Game", IDYES);

    EXPECT_FALSE(testbed::FolderExists(game.folder));
    EXPECT_TRUE(testbed::FolderExists(testbed::TestRoot()));
    EXPECT_FALSE(testbed::FolderExists(Programs() + kProduct));
    EXPECT_TRUE(testbed::FolderExists(Programs()));
    EXPECT_FALSE(testbed::RegKeyExists(HKEY_LOCAL_MACHINE, game.keyName));
    EXPECT_TRUE(testbed::RegKeyExists(HKEY_LOCAL_MACHINE, sibling));
    EXPECT_TRUE(testbed::FileExists(Uninstaller()));

    const SilentRun again = RunSilently(Quoted(game.installData));
    EXPECT_TRUE(again.ended && again.exitCode == 0 && !again.showedWindow)
        << "a second run must end silently";
    testbed::RegDeleteTree(HKEY_LOCAL_MACHINE, sibling);
}

TEST(ZeviZorezu, ReadOnlyFileAndFullStopFolderStayWithTheFoldersAboveThem) {
    const Game game = InstallGame("uninst-readonly", "The Game",
                                  {"game.exe", "data\\a.dat", "data\\sub\\locked.dat",
                                   "data\\sub\\free.dat", ".cache\\c.bin", "x\\.cache\\d.bin"});
    SetFileAttributesA((game.folder + "data\\sub\\locked.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    Answer(game.installData, "The Game", IDYES);
    EXPECT_EQ(testbed::ListTree(game.folder),
              (Tree{".cache\\", ".cache\\c.bin", "data\\", "data\\sub\\", "data\\sub\\locked.dat",
                    "x\\", "x\\.cache\\", "x\\.cache\\d.bin"}));
    EXPECT_FALSE(testbed::FileExists(Programs() + game.shortcutName));
    EXPECT_FALSE(testbed::RegKeyExists(HKEY_LOCAL_MACHINE, game.keyName));
}

TEST(ZeviZorezu, AnotherShortcutKeepsTheShortcutsFolders) {
    const Game game = InstallGame("uninst-shared", "The Game", {"game.exe"});
    const std::string inner = Programs() + kProduct + "\\" + kGameSub + "\\";
    testbed::WriteFile(inner + "Other Game.lnk", "lnk");
    Answer(game.installData, "The Game", IDYES);
    EXPECT_EQ(testbed::ListTree(Programs() + kProduct),
              (Tree{kGameSub + "\\", kGameSub + "\\Other Game.lnk"}));
    EXPECT_FALSE(testbed::FolderExists(game.folder));
    testbed::RemoveTree(Programs() + kProduct);
}

TEST(ZeviZorezu, UntrustedKeyAndShortcutNamesSkipTheirSteps) {
    const std::string outsideKey = "Software\\LumTest\\Uninstaller Victim";
    const std::string sibling = kBranch + "Lumetra Studio uninst-untrusted sibling";
    // Another program's uninstall entry and shortcut, which install data may name as its own.
    const std::string victimApp = kBranch + "LumTest VictimApp";
    const std::string otherShortcut = "LumTest Other\\Sub\\other.lnk";
    const std::string victim = ShellFolder(CSIDL_STARTMENU) + "LumTest victim.lnk";
    const std::pair<std::string, std::string> cases[] = {
        {outsideKey, "..\\LumTest victim.lnk"}, // key name, shortcut name
        {kBranch, victim},
        {victimApp, otherShortcut},
    };
    for (const auto& [keyName, shortcutName] : cases) {
        const std::string folder = testbed::FreshFolder("uninst-untrusted");
        testbed::WriteFile(folder + "LUM_RT.ind", InstallData("The Game", keyName, shortcutName));
        testbed::RegSetString(HKEY_LOCAL_MACHINE, outsideKey, "V", "1");
        testbed::RegSetString(HKEY_LOCAL_MACHINE, sibling, "V", "1");
        testbed::RegSetString(HKEY_LOCAL_MACHINE, victimApp, "UninstallString",
                              "\"C:\\Program Files\\Victim\\uninst.exe\"");
        testbed::WriteFile(victim, "lnk");
        testbed::MakeShortcut(Programs() + otherShortcut, "C:\\Program Files\\Victim\\victim.exe");
        Answer(folder + "LUM_RT.ind", "The Game", IDYES);
        EXPECT_FALSE(testbed::FolderExists(folder)) << keyName;
        EXPECT_TRUE(testbed::RegKeyExists(HKEY_LOCAL_MACHINE, outsideKey)) << keyName;
        EXPECT_TRUE(testbed::RegKeyExists(HKEY_LOCAL_MACHINE, sibling)) << keyName;
        EXPECT_TRUE(testbed::RegKeyExists(HKEY_LOCAL_MACHINE, victimApp)) << keyName;
        EXPECT_TRUE(testbed::FileExists(victim)) << shortcutName;
        EXPECT_TRUE(testbed::FileExists(Programs() + otherShortcut)) << shortcutName;
    }
    DeleteFileA(victim.c_str());
    testbed::RemoveTree(Programs() + "LumTest Other");
    testbed::RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\LumTest");
    testbed::RegDeleteTree(HKEY_LOCAL_MACHINE, sibling);
    testbed::RegDeleteTree(HKEY_LOCAL_MACHINE, victimApp);
}

TEST(ZeviZorezu, RemovesAFolderWhoseNameEndsInA5CSecondByte) {
    // testbed::WriteFile makes the folders on a path by splitting it at every 0x5C byte, second
    // bytes included, so the folders here are made one by one.
    const std::string parent = testbed::FreshFolder("uninst-dbcs");
    const std::string folder = parent + kGameSub + kSo + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) &&
                CreateDirectoryA((folder + kSo).c_str(), nullptr))
        << "the host has no ja_JP.UTF-8 locale for Japanese file names";
    const std::string title = kSo + "\x83\x74\x83\x67"; // "ソフト"
    const std::pair<std::string, std::string> files[] = {
        {folder + "LUM_RT.ind", InstallData(title, "", "")},
        {folder + "game.exe", "exe"},
        {folder + kSo + "\\data.dat", "data"}};
    for (const auto& [path, bytes] : files)
        std::ofstream(path, std::ios::binary) << bytes;
    ASSERT_TRUE(testbed::FileExists(folder + kSo + "\\data.dat"));
    Answer(folder + "LUM_RT.ind", title, IDYES);
    EXPECT_EQ(testbed::ListTree(parent), Tree{});
}

TEST(ZeviZorezu, CarriesItsMessagesIconVersionAndManifest) {
    const std::string exe = testbed::BuiltProgram("zevizorezu.exe");
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> image(
        LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE), &FreeLibrary);
    ASSERT_NE(image, nullptr);
    HMODULE module = image.get();

    HRSRC group = FindResourceA(module, "MAINICON", RT_GROUP_ICON);
    ASSERT_NE(group, nullptr) << "no icon MAINICON";
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    std::vector<std::pair<int, int>> images; // size, bits per pixel
    for (int i = 0; i < *reinterpret_cast<const WORD*>(dir + 4); ++i) {
        const BYTE* entry = dir + 6 + 14 * i; // GRPICONDIRENTRY
        images.emplace_back(entry[0], *reinterpret_cast<const WORD*>(entry + 6));
    }
    std::sort(images.begin(), images.end());
    EXPECT_EQ(images, (std::vector<std::pair<int, int>>{{16, 4}, {16, 8}, {32, 4}, {32, 8}}));

    HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                           SizeofResource(module, manifest));
    EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos) << text;
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION), nullptr);
}

} // namespace
