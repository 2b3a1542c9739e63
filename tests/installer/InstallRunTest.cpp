// Whole installations as a user runs them: Setup.exe from CD-ROM drives, the first dialog, the
// disk prompts, the shell's copy, the archive library, the uninstall registration and the
// shortcut, the registered uninstall command, names Setup refuses, and a planted library.
#include "Drives.h"
#include "Files.h"
#include "Gui.h"
#include "Process.h"
#include "RegistryProbe.h"
#include "ShellPaths.h"
#include "Wait.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>

using namespace testbed;

namespace {

const char* const kSettingsKey = "Software\\Morvane\\Lumetra";
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kGames = "C:\\Games\\";
const std::string kGameFolderName = "\x83\x51\x81\x5B\x83\x80"; // the shortcut folder ゲーム
const std::string kUninstaller = "C:\\windows\\zevizorezu.exe";

std::string Fixture(const std::string& name) {
    return ExeFolder() + "fixtures\\sample-game\\" + name;
}

std::string ProgramsDir() {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, path);
    return std::string(path) + "\\";
}

std::string TempFolder() {
    char path[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, path);
    return std::string(path) + "LUM_TEMP\\";
}

// The archive's bytes split into count volumes of nearly equal size.
std::vector<std::string> Volumes(const std::string& archive, int count) {
    std::vector<std::string> volumes;
    const size_t size = (archive.size() + count - 1) / count;
    for (int i = 0; i < count; ++i)
        volumes.push_back(archive.substr(i * size, size));
    return volumes;
}

class Installation : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveInstallation();
        RegSetString(HKEY_CURRENT_USER, kSettingsKey, "ApplicationPath", kGames);
        archive = ReadFile(Fixture("Project1.lzh"));
    }
    void TearDown() override { RemoveInstallation(); }
    // Everything an installation leaves in the prefix, and the installer's settings.
    static void RemoveInstallation() {
        RegDeleteTree(HKEY_CURRENT_USER, "Software\\Morvane");
        RemoveTree(kGames);
        RemoveTree(ProgramsDir() + "Lumetra Studio");
        RemoveTree(TempFolder());
        for (const char* project : {"Project1", "Project2", "My Game"})
            RegDeleteTree(HKEY_LOCAL_MACHINE,
                          std::string(kUninstallKey) + "Lumetra Studio " + project);
        DeleteFileA(kUninstaller.c_str());
    }

    // Disk folders disk1 ... with Setup, its description and the library on the first.
    std::vector<std::string> MakeDisks(const std::string& project, const std::string& title,
                                       int diskNumber, int volumeCount) {
        std::vector<std::string> disks;
        std::string description =
            "[Setup]\r\nProjectName=" + project + "\r\nGameTitle=" + title + "\r\n";
        if (diskNumber > 0) description += "DiskNumber=" + std::to_string(diskNumber) + "\r\n";
        for (int i = 1; i <= std::max(volumeCount, 1); ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "install-disk%d", i);
            disks.push_back(FreshFolder(name));
        }
        CopyFileA(BuiltProgram("Setup.exe").c_str(), (disks[0] + "Setup.exe").c_str(), FALSE);
        CopyFileA(BuiltProgram("UNLHA32.DLL").c_str(), (disks[0] + "UNLHA32.DLL").c_str(), FALSE);
        WriteFile(disks[0] + "Setup.ini", description);
        if (volumeCount == 0) {
            WriteFile(disks[0] + project + ".lzh", archive);
        } else {
            const auto volumes = Volumes(archive, volumeCount);
            for (int i = 0; i < volumeCount; ++i) {
                char extension[16];
                std::snprintf(extension, sizeof extension, ".%.3d", i + 1);
                WriteFile(disks[i] + project + extension, volumes[i]);
            }
        }
        return disks;
    }

    // Starts Setup from the first disk in a drive of this kind, sets the two options and presses
    // "Start Installation".
    void Start(const std::string& firstDisk, bool shortcut, bool uninstall,
               DriveKind kind = DriveKind::CdRom) {
        RegSetString(HKEY_CURRENT_USER, kSettingsKey, "RegisterProgramOption",
                     shortcut ? "1" : "0");
        RegSetString(HKEY_CURRENT_USER, kSettingsKey, "PrepareUninstallOption",
                     uninstall ? "1" : "0");
        drive.reset();
        drive = std::make_unique<DriveMapping>(kind, firstDisk);
        setup = std::make_unique<Process>(Process::Start(drive->Root() + "Setup.exe"));
        HWND dialog = WaitTopWindow(setup->Id(), "TFormFirstDialog", "Setup");
        ASSERT_TRUE(dialog);
        Click(FindChild(dialog, "TButton", "Start Installation"));
    }

    // Answers every message box until the program ends; returns their texts in order.
    std::vector<std::string> Finish(const std::function<int(const MessageBoxInfo&)>& answer =
                                        [](const MessageBoxInfo&) { return IDOK; }) {
        std::vector<std::string> texts;
        for (;;) {
            MessageBoxInfo box;
            const bool ended = WaitFor(
                [&] {
                    box = WaitMessageBox(setup->Id(), 0);
                    return box || !setup->Running();
                },
                60000);
            if (!ended) {
                ADD_FAILURE() << "Setup neither ended nor asked anything";
                return texts;
            }
            if (!box) break;
            EXPECT_EQ(box.caption, "Setup       ");
            texts.push_back(box.text);
            Press(box, answer(box));
        }
        DWORD exitCode = 1;
        setup->WaitExit(10000, &exitCode);
        EXPECT_EQ(exitCode, 0u);
        EXPECT_FALSE(FolderExists(TempFolder() + "GameDisk")) << "the temporary folder stayed";
        return texts;
    }

    void ExpectGameInstalled(const std::string& project) {
        const std::string folder = kGames + project + "\\";
        EXPECT_EQ(ListTree(folder).size() >= ListTree(Fixture("game")).size(), true);
        for (const std::string& entry : ListTree(Fixture("game"))) {
            if (entry.back() == '\\')
                EXPECT_TRUE(FolderExists(folder + entry)) << entry;
            else
                EXPECT_EQ(ReadFile(folder + entry), ReadFile(Fixture("game\\" + entry))) << entry;
        }
    }

    std::string archive;
    std::unique_ptr<DriveMapping> drive;
    std::unique_ptr<Process> setup;
};

const std::vector<std::string> kDone = {"Installation done"};
const std::vector<std::string> kStopped = {"Installation stopped"};

TEST_F(Installation, SingleArchiveWithoutPrompt) {
    const auto disks = MakeDisks("Project1", "The Game", 0, 0);
    Start(disks[0], false, false);
    EXPECT_EQ(Finish(), kDone);
    ExpectGameInstalled("Project1");
    EXPECT_FALSE(FileExists(kGames + "Project1\\LUM_RT.ind"));
    EXPECT_FALSE(
        RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "Lumetra Studio Project1"));
    EXPECT_FALSE(FolderExists(ProgramsDir() + "Lumetra Studio"));
}

TEST_F(Installation, OneVolumeIsJoinedAloneWithoutPrompt) {
    const auto disks = MakeDisks("Project1", "The Game", 1, 1);
    Start(disks[0], false, false);
    EXPECT_EQ(Finish(), kDone);
    ExpectGameInstalled("Project1");
}

TEST_F(Installation, AsksForEachFurtherDiskAndAgainForAWrongOne) {
    // Game disks come as CD-ROMs, as diskettes, or copied onto a network drive.
    for (const DriveKind kind : {DriveKind::CdRom, DriveKind::Floppy, DriveKind::Network}) {
        SCOPED_TRACE(static_cast<int>(kind));
        RemoveInstallation();
        RegSetString(HKEY_CURRENT_USER, kSettingsKey, "ApplicationPath", kGames);
        const auto disks = MakeDisks("Project1", "The Game", 3, 3);
        Start(disks[0], false, false, kind);
        int prompts = 0;
        const auto texts = Finish([&](const MessageBoxInfo& box) {
            if (box.text == "Insert game disk ?2.") {
                // First an empty drive, then the wrong disk, then the right one.
                if (prompts == 0)
                    drive->Repoint(TestRoot() + "no-disk-in-drive");
                else if (prompts == 1)
                    drive->Repoint(disks[0]);
                else
                    drive->Repoint(disks[1]);
                ++prompts;
            } else if (box.text == "Insert game disk ?3.") {
                drive->Repoint(disks[2]);
            }
            if (box.text.find("Insert") != std::string::npos) {
                EXPECT_TRUE(HasButton(box, IDCANCEL));
                EXPECT_EQ(box.icon, 0u) << "the disk prompt shows no icon";
            }
            return IDOK;
        });
        EXPECT_EQ(texts, (std::vector<std::string>{"Insert game disk ?2.", "Insert game disk ?2.",
                                                   "Insert game disk ?2.", "Insert game disk ?3.",
                                                   "Installation done"}));
        ExpectGameInstalled("Project1");
    }
}

TEST_F(Installation, CancelAtALaterDiskStopsWithNothingLeft) {
    const auto disks = MakeDisks("Project1", "The Game", 3, 3);
    Start(disks[0], true, true);
    const auto texts = Finish([&](const MessageBoxInfo& box) {
        if (box.text == "Insert game disk ?2.") drive->Repoint(disks[1]);
        return box.text == "Insert game disk ?3." ? IDCANCEL : IDOK;
    });
    EXPECT_EQ(texts, (std::vector<std::string>{"Insert game disk ?2.", "Insert game disk ?3.",
                                               "Installation stopped"}));
    EXPECT_FALSE(FolderExists(kGames + "Project1"));
}

TEST_F(Installation, MissingFirstVolumeIsAFileOpenError) {
    const auto disks = MakeDisks("Project1", "The Game", 2, 2);
    DeleteFileA((disks[0] + "Project1.001").c_str());
    Start(disks[0], false, false);
    const auto texts = Finish();
    ASSERT_EQ(texts.size(), 2u);
    // "ファイル d:\Project1.001 は開けません."
    EXPECT_EQ(texts[0], "\x83\x74\x83\x40\x83\x43\x83\x8B " + drive->Root() +
                            "Project1.001 \x82\xCD\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1.");
    EXPECT_EQ(texts[1], "Installation stopped");
}

TEST_F(Installation, ALibraryFailureStops) {
    archive[archive.size() / 2] ^= 0x55; // a CRC error in the middle of the data
    const auto disks = MakeDisks("Project1", "The Game", 0, 0);
    Start(disks[0], true, true);
    EXPECT_EQ(Finish(), kStopped);
    EXPECT_FALSE(
        RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "Lumetra Studio Project1"));
}

TEST_F(Installation, StopsWhereALinkWouldLeadItsWritesElsewhere) {
    // Links a user made before the run, at the temporary folder, at or above the game folder,
    // inside the folder of an earlier installation, above the shortcut, and at the files the run
    // writes by name (the install data, the shortcut); and links made while the run asks for the
    // second disk at the copies it is yet to write and at the game folder it is yet to fill:
    // nothing is written through them.
    std::string temp = TempFolder(), games = kGames;
    temp.pop_back();
    games.pop_back();
    const std::string gameDisk = TempFolder() + "GameDisk\\";
    const std::string shortcut = ProgramsDir() + "Lumetra Studio\\" + kGameFolderName + "\\";
    const std::vector<std::string> refused = {"The folder could not be created.",
                                              "Installation stopped"};
    const std::vector<std::string> refusedOnDisk2 = {
        "Insert game disk ?2.", "The folder could not be created.", "Installation stopped"};
    enum class Link { Folder, File, HardLink };
    const struct {
        std::string link;
        Link kind;       // to the victim folder, or to the file in it
        bool whileAsked; // made when the second disk is asked for, not before the run
        std::vector<std::string> texts;
    } cases[] = {
        {temp, Link::Folder, false, refused},
        {games, Link::Folder, false, refused},
        {kGames + "Project1", Link::Folder, false, refused},
        {kGames + "Project1\\save", Link::Folder, false, kStopped},
        {ProgramsDir() + "Lumetra Studio", Link::Folder, false, refused},
        {kGames + "Project1\\LUM_RT.ind", Link::File, false, refused},
        {kGames + "Project1\\LUM_RT.ind", Link::HardLink, false, refused},
        {shortcut + "The Game.lnk", Link::File, false, refused},
        {gameDisk + "Project1.002", Link::File, true, refusedOnDisk2},
        {gameDisk + "Project1.lzh", Link::File, true, refusedOnDisk2},
        {kGames + "Project1", Link::Folder, true, refusedOnDisk2},
    };
    for (const auto& [link, kind, whileAsked, texts] : cases) {
        SCOPED_TRACE(link);
        const std::string victim = FreshFolder("link-victim");
        WriteFile(victim + "keep.txt", "must survive");
        const auto before = ListTree(victim);
        const auto makeLink = [&] {
            MakeFolders(link.substr(0, link.rfind('\\')));
            if (kind == Link::Folder)
                MakeFolderLink(link, victim);
            else
                MakeFileLink(link, victim + "keep.txt",
                             kind == Link::File ? FileLinkKind::Symbolic : FileLinkKind::Hard);
        };
        bool linked = !whileAsked;
        if (linked) makeLink();
        const auto disks =
            MakeDisks("Project1", "The Game", whileAsked ? 2 : 0, whileAsked ? 2 : 0);
        Start(disks[0], true, true);
        EXPECT_EQ(Finish([&](const MessageBoxInfo& box) {
                      if (box.text == "Insert game disk ?2.") {
                          makeLink();
                          linked = true;
                          drive->Repoint(disks[1]);
                      } else if (whileAsked && linked) {
                          // Gone before the run removes its temporary folder, which it cannot
                          // do with a link inside.
                          RemoveFolderLink(link);
                          linked = false;
                      }
                      return IDOK;
                  }),
                  texts);
        if (linked) RemoveFolderLink(link);
        EXPECT_EQ(ListTree(victim), before);
        EXPECT_EQ(ReadFile(victim + "keep.txt"), "must survive");
        TearDown();
        SetUp();
    }
}

TEST_F(Installation, RegistersTheUninstallerAndTheShortcutAndRemovesItAllAgain) {
    DeleteFileA(kUninstaller.c_str());
    const auto disks = MakeDisks("My Game", "The Game", 2, 2);
    Start(disks[0], true, true);
    EXPECT_EQ(Finish([&](const MessageBoxInfo& box) {
                  if (box.text == "Insert game disk ?2.") drive->Repoint(disks[1]);
                  return IDOK;
              }),
              (std::vector<std::string>{"Insert game disk ?2.", "Installation done"}));
    ExpectGameInstalled("My Game");
    const std::string game = kGames + "My Game\\";
    const std::string key = std::string(kUninstallKey) + "Lumetra Studio My Game";
    const std::string shortcutName = "Lumetra Studio\\" + kGameFolderName + "\\The Game.lnk";

    EXPECT_EQ(ReadFile(game + "LUM_RT.ind"),
              "[Install Data]\r\nTitle=The Game\r\nUninstallKeyName=" + key +
                  "\r\nShortcutName=" + shortcutName + "\r\n");
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, key, "DisplayName"), "Lumetra Studio - The Game");
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, key, "DisplayIcon"), game + "LUM_RT.exe");
    const auto command = RegString(HKEY_LOCAL_MACHINE, key, "UninstallString");
    EXPECT_EQ(command, "C:\\windows\\zevizorezu.exe \"" + game + "LUM_RT.ind\"");
    EXPECT_EQ(ReadFile(kUninstaller), ReadFile(BuiltProgram("zevizorezu.exe")));
    EXPECT_EQ(ShortcutTarget(ProgramsDir() + shortcutName), game + "LUM_RT.exe");

    // The system's list of programs runs the registered command; the user answers Yes.
    ASSERT_TRUE(command);
    Process uninstall = Process::Start(kUninstaller, "\"" + game + "LUM_RT.ind\"");
    const MessageBoxInfo question = WaitMessageBox(uninstall.Id());
    ASSERT_TRUE(question);
    Press(question, IDYES);
    ASSERT_TRUE(uninstall.WaitExit(20000));
    EXPECT_FALSE(FolderExists(game));
    EXPECT_FALSE(FolderExists(ProgramsDir() + "Lumetra Studio"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key));
    EXPECT_TRUE(FileExists(kUninstaller));
}

TEST_F(Installation, UninstallerIsReplacedOnlyWhenOlder) {
    const auto disks = MakeDisks("Project1", "The Game", 0, 0);
    auto ticks = [](const std::string& path) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        return static_cast<long long>(static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime)
                                          << 32 |
                                      data.ftLastWriteTime.dwLowDateTime);
    };
    auto setAge = [](const std::string& path, int yearOffset) {
        SYSTEMTIME time;
        GetSystemTime(&time);
        time.wYear = static_cast<WORD>(time.wYear + yearOffset);
        FILETIME stamp;
        SystemTimeToFileTime(&time, &stamp);
        HANDLE file =
            CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &stamp);
        CloseHandle(file);
    };
    for (const int offset : {-5, +5}) {
        SCOPED_TRACE(offset);
        WriteFile(kUninstaller, "an uninstaller of another age");
        setAge(kUninstaller, offset);
        Start(disks[0], false, true);
        EXPECT_EQ(Finish(), kDone);
        if (offset < 0) {
            EXPECT_EQ(ReadFile(kUninstaller), ReadFile(BuiltProgram("zevizorezu.exe")));
            EXPECT_LE(std::llabs(ticks(kUninstaller) - ticks(disks[0] + "Setup.exe")), 20000000LL)
                << "the installer's time stamp, to the two seconds of a DOS time";
        } else {
            EXPECT_EQ(ReadFile(kUninstaller), "an uninstaller of another age");
        }
    }
}

TEST_F(Installation, AShortcutThatCannotBeSavedFailsAndKeepsTheRest) {
    // A file where the product's folder of shortcuts belongs.
    const std::string blocker = ProgramsDir() + "Lumetra Studio";
    WriteFile(blocker, "not a folder");
    const auto disks = MakeDisks("Project1", "The Game", 0, 0);
    Start(disks[0], true, true);
    const auto texts = Finish();
    DeleteFileA(blocker.c_str());
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], "Installation stopped");
    ExpectGameInstalled("Project1");
    EXPECT_TRUE(
        RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "Lumetra Studio Project1"));
}

TEST_F(Installation, RefusesNamesThatLeaveTheirFolderOrCannotFitBeforeWritingAnything) {
    const std::string startup = ProgramsDir() + "Startup\\";
    const bool startupExisted = FolderExists(startup);
    WriteFile(startup + "victim.lnk", "the user's own auto-start entry");
    const std::string long1000(1000, 'p');
    const std::string long300(300, 't');
    const struct {
        std::string project;
        std::string title;
        std::string message;
    } cases[] = {
        {"Project1", "..\\..\\Startup\\victim",
         "The game title \"..\\..\\Startup\\victim\" can't be used: it holds a path separator "
         "(\\ or /)"},
        {"Project1", "..\\..\\..\\..\\Desktop\\evil",
         "The game title \"..\\..\\..\\..\\Desktop\\evil\" can't be used: it holds a path "
         "separator (\\ or /)"},
        {"Project1", "Quest/Gold",
         "The game title \"Quest/Gold\" can't be used: it holds a path separator (\\ or /)"},
        {"..\\..\\evil", "The Game",
         "The project name \"..\\..\\evil\" can't be used: it holds a path separator (\\ or /)"},
        {"C:evil", "The Game",
         "The project name \"C:evil\" can't be used: it holds a colon, which names a drive or a "
         "stream."},
        {"..", "The Game",
         "The project name \"..\" can't be used: it is only dots and blanks, which name no "
         "folder of its own."},
        {"Project1", "Quest: The Game",
         "The game title \"Quest: The Game\" can't be used: it holds a colon, which names a "
         "drive or a stream."},
        {long1000, "The Game",
         "The project name \"" + long1000 +
             "\" can't be used: the paths of the game folder's files would be too long."},
        {"Project1", long300,
         "The game title \"" + long300 +
             "\" can't be used: the shortcut's path would be too long."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.project + " / " + c.title);
        const std::string disk = FreshFolder("refused-disk");
        CopyFileA(BuiltProgram("Setup.exe").c_str(), (disk + "Setup.exe").c_str(), FALSE);
        CopyFileA(BuiltProgram("UNLHA32.DLL").c_str(), (disk + "UNLHA32.DLL").c_str(), FALSE);
        WriteFile(disk + "Setup.ini",
                  "[Setup]\r\nProjectName=" + c.project + "\r\nGameTitle=" + c.title + "\r\n");
        RegSetString(HKEY_CURRENT_USER, kSettingsKey, "RegisterProgramOption", "1");
        RegSetString(HKEY_CURRENT_USER, kSettingsKey, "PrepareUninstallOption", "1");
        drive = std::make_unique<DriveMapping>(DriveKind::CdRom, disk);
        setup = std::make_unique<Process>(Process::Start(drive->Root() + "Setup.exe"));
        EXPECT_EQ(Finish(), (std::vector<std::string>{c.message, "Installation stopped"}));
        EXPECT_FALSE(FolderExists(kGames));
        EXPECT_FALSE(FolderExists(ProgramsDir() + "Lumetra Studio"));
        EXPECT_EQ(ReadFile(startup + "victim.lnk"), "the user's own auto-start entry");
        // Where the shortcut would have gone: nothing, or the victim untouched.
        const std::string formed =
            ProgramsDir() + "Lumetra Studio\\" + kGameFolderName + "\\" + c.title + ".lnk";
        EXPECT_TRUE(!FileExists(formed) || ReadFile(formed) == "the user's own auto-start entry");
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE,
                                  std::string(kUninstallKey) + "Lumetra Studio " + c.project));
    }
    DeleteFileA((startup + "victim.lnk").c_str());
    if (!startupExisted) RemoveDirectoryA(startup.c_str());
}

TEST_F(Installation, RefusesAGameFolderTooLongForTheChosenBaseFolderBeforeWritingAnything) {
    // The name fits the shortest base folder, but not the one chosen in the first dialog.
    const std::string base = kGames + std::string(150, 'b') + "\\";
    MakeFolders(base);
    RegSetString(HKEY_CURRENT_USER, kSettingsKey, "ApplicationPath", base);
    const std::string project(90, 'p');
    const auto disks = MakeDisks(project, "The Game", 0, 0);
    Start(disks[0], false, false);
    // The dialog has read the options: whatever the run writes from now on shows.
    RegDeleteValueIn(HKEY_CURRENT_USER, kSettingsKey, "RegisterProgramOption");
    RegDeleteValueIn(HKEY_CURRENT_USER, kSettingsKey, "PrepareUninstallOption");
    EXPECT_EQ(Finish(), (std::vector<std::string>{
                            "The project name \"" + project +
                                "\" can't be used: the paths of the game folder's files would "
                                "be too long.",
                            "Installation stopped"}));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kSettingsKey, "RegisterProgramOption"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kSettingsKey, "PrepareUninstallOption"));
    EXPECT_EQ(ListTree(kGames), std::vector<std::string>{std::string(150, 'b') + "\\"});
}

TEST_F(Installation, InstallsAProjectWhoseNameHasATrailByteBackslash) {
    const std::string project = "\x83\x5C\x83\x74\x83\x67"; // ソフト: the ソ ends in 0x5C
    const auto disks = MakeDisks(project, "The Game", 0, 0);
    Start(disks[0], false, false);
    EXPECT_EQ(Finish(), kDone);
    ExpectGameInstalled(project);
}

// A per-program DLL override of Wine for Setup.exe, taken away again with whatever keys it
// needed.
class SetupDllOverride {
public:
    SetupDllOverride(const std::string& dll, const std::string& order) : dll_(dll) {
        for (const std::string& key : {kAppDefaults, kAppDefaults + "\\Setup.exe", kOverrides})
            if (created_.empty() && !RegKeyExists(HKEY_CURRENT_USER, key)) created_ = key;
        RegSetString(HKEY_CURRENT_USER, kOverrides, dll, order);
    }
    SetupDllOverride(const SetupDllOverride&) = delete;
    SetupDllOverride& operator=(const SetupDllOverride&) = delete;
    ~SetupDllOverride() {
        if (created_.empty())
            RegDeleteValueIn(HKEY_CURRENT_USER, kOverrides, dll_);
        else
            RegDeleteTree(HKEY_CURRENT_USER, created_);
    }

private:
    inline static const std::string kAppDefaults = "Software\\Wine\\AppDefaults";
    inline static const std::string kOverrides = kAppDefaults + "\\Setup.exe\\DllOverrides";
    std::string dll_;
    std::string created_; // the outermost key the override made
};

TEST_F(Installation, NeverLoadsACommonControlsLibraryPlantedBesideSetup) {
    // Wine prefers its own comctl32; with this override it looks for it as Windows does, in
    // the program's folder first.
    const SetupDllOverride nativeFirst("comctl32", "native,builtin");
    const auto disks = MakeDisks("Project1", "The Game", 0, 0);
    CopyFileA(BuiltProgram("planted_comctl32.dll").c_str(), (disks[0] + "COMCTL32.DLL").c_str(),
              FALSE);
    Start(disks[0], false, false);
    EXPECT_EQ(Finish(), kDone);
    ExpectGameInstalled("Project1");
    EXPECT_FALSE(FileExists(disks[0] + "planted-comctl32-loaded"));
}

TEST_F(Installation, SecondGamesAndReinstallsShareTheUninstallerAndRewriteInPlace) {
    const std::string folder = ProgramsDir() + "Lumetra Studio\\" + kGameFolderName + "\\";
    auto installData = [](const std::string& project, const std::string& title,
                          const std::string& extra) {
        return "[Install Data]\r\nTitle=" + title + "\r\nUninstallKeyName=" + kUninstallKey +
               "Lumetra Studio " + project + "\r\nShortcutName=Lumetra Studio\\" + kGameFolderName +
               "\\" + title + ".lnk\r\n" + extra;
    };
    // The first game with both options.
    auto disks = MakeDisks("Project1", "The Game", 0, 0);
    Start(disks[0], true, true);
    ASSERT_EQ(Finish(), kDone);
    // A second game: its shortcut beside the first one; the install data names the shortcut
    // although the option is off.
    disks = MakeDisks("Project2", "Second Game", 0, 0);
    Start(disks[0], false, true);
    ASSERT_EQ(Finish(), kDone);
    EXPECT_EQ(ReadFile(kGames + "Project2\\LUM_RT.ind"),
              installData("Project2", "Second Game", ""));
    EXPECT_FALSE(FileExists(folder + "Second Game.lnk")) << "the option was off";
    Start(disks[0], true, false);
    ASSERT_EQ(Finish(), kDone);
    EXPECT_EQ(ShortcutTarget(folder + "The Game.lnk"), kGames + "Project1\\LUM_RT.exe");
    EXPECT_EQ(ShortcutTarget(folder + "Second Game.lnk"), kGames + "Project2\\LUM_RT.exe");
    // One uninstaller serves both games.
    for (const char* project : {"Project1", "Project2"})
        EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE,
                            std::string(kUninstallKey) + "Lumetra Studio " + project,
                            "UninstallString"),
                  kUninstaller + " \"" + kGames + project + "\\LUM_RT.ind\"")
            << project;

    // A reinstall of the first game replaces its shortcut and rewrites the install data in
    // place: its keys get their values again where they stand, and a foreign key stays.
    WriteFile(folder + "The Game.lnk", "no shortcut");
    WriteFile(kGames + "Project1\\LUM_RT.ind",
              "[Install Data]\r\nTitle=Old\r\nUninstallKeyName=Old\r\nShortcutName=Old\r\n"
              "Kept=1\r\n");
    disks = MakeDisks("Project1", "The Game", 0, 0);
    Start(disks[0], true, true);
    ASSERT_EQ(Finish(), kDone);
    EXPECT_EQ(ShortcutTarget(folder + "The Game.lnk"), kGames + "Project1\\LUM_RT.exe");
    EXPECT_EQ(ReadFile(kGames + "Project1\\LUM_RT.ind"),
              installData("Project1", "The Game", "Kept=1\r\n"));

    RemoveTree(ProgramsDir() + "Lumetra Studio");
    for (const char* project : {"Project1", "Project2"})
        RegDeleteTree(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "Lumetra Studio " + project);
}

} // namespace
