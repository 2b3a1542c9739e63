// Disk sets made by mkdisks.exe (with the programs beside it) from the sample game, installed
// by Setup.exe from a CD-ROM and from a floppy drive, the disks swapped when Setup asks; and
// sets installed from their images, as make-image-sets leaves them unpacked by 7zz.
#include "Drives.h"
#include "Files.h"
#include "Gui.h"
#include "Process.h"
#include "RegistryProbe.h"
#include "Wait.h"

#include <gtest/gtest.h>

using namespace testbed;

namespace {

const char* const kSettingsKey = "Software\\Morvane\\Lumetra";
const std::string kGames = "C:\\Games\\";

std::string SampleGame() {
    return ExeFolder() + "fixtures\\sample-game\\game\\";
}

// Copies the files and folders of `from` into the empty folder `to`.
void CopyTree(const std::string& from, const std::string& to) {
    for (const std::string& entry : ListTree(from)) {
        if (entry.back() == '\\')
            MakeFolders(to + entry);
        else
            WriteFile(to + entry, ReadFile(from + entry));
    }
}

// A folder as a quoted argument; its trailing backslash stays, as mkdisks.exe splits its
// command line as UNLHA32.DLL does.
std::string Argument(const std::string& folder) {
    std::string quoted(1, '"');
    quoted += folder;
    return quoted + '"';
}

struct DiskSet {
    const char* what;
    std::string options; // for mkdisks, before the folders
    DriveKind drive;
    std::string imageSet = {}; // made by make-image-sets under this name; empty: made here
    std::string project = "Project1";
    std::string title = "The Game"; // in code page 932
};

// The folder where the set comes from: made now by mkdisks.exe, or unpacked from its images.
std::string MakeSet(const DiskSet& set) {
    if (!set.imageSet.empty()) return ExeFolder() + "fixtures\\image-sets\\" + set.imageSet + "\\";
    // The programs and the game are handed over on drive C:, as a game maker has them.
    const std::string programs = FreshFolder("mkdisks-programs");
    for (const char* program : {"mkdisks.exe", "Setup.exe", "UNLHA32.DLL"})
        CopyFileA(BuiltProgram(program).c_str(), (programs + program).c_str(), FALSE);
    const std::string game = FreshFolder("mkdisks-game");
    CopyTree(SampleGame(), game);
    const std::string out = FreshFolder("mkdisks-set");
    Process mkdisks = Process::Start(
        programs + "mkdisks.exe", "--project " + set.project + " --title \"" + set.title + "\" " +
                                      set.options + " " + Argument(game) + " " + Argument(out));
    DWORD exitCode = 1;
    EXPECT_TRUE(mkdisks.WaitExit(120000, &exitCode)) << set.what;
    EXPECT_EQ(exitCode, 0u) << set.what;
    return out;
}

class MkdisksInstall : public ::testing::TestWithParam<DiskSet> {
protected:
    void SetUp() override {
        RegDeleteTree(HKEY_CURRENT_USER, kSettingsKey);
        RegSetString(HKEY_CURRENT_USER, kSettingsKey, "ApplicationPath", kGames);
        RegSetString(HKEY_CURRENT_USER, kSettingsKey, "RegisterProgramOption", "0");
        RegSetString(HKEY_CURRENT_USER, kSettingsKey, "PrepareUninstallOption", "0");
        RemoveTree(kGames);
    }
    void TearDown() override {
        RegDeleteTree(HKEY_CURRENT_USER, "Software\\Morvane");
        RemoveTree(kGames);
        RemoveTree(SetupTempFolder());
    }
};

TEST_P(MkdisksInstall, SetupInstallsTheSetFromItsDisks) {
    const DiskSet set = GetParam();
    const std::string out = MakeSet(set);
    ASSERT_FALSE(HasFailure());
    const std::string from = out + (set.imageSet.empty() ? "" : "unpacked\\");
    std::vector<std::string> disks;
    while (FolderExists(from + "disk" + std::to_string(disks.size() + 1)))
        disks.push_back(from + "disk" + std::to_string(disks.size() + 1) + "\\");
    ASSERT_GE(disks.size(), 2u) << set.what;
    EXPECT_EQ(ReadFile(disks[0] + "Setup.ini"),
              "[Setup]\r\nProjectName=" + set.project + "\r\nGameTitle=" + set.title +
                  "\r\nDiskNumber=" + std::to_string(disks.size()) + "\r\n")
        << set.what;

    DriveMapping drive(set.drive, disks[0]);
    Process setup = Process::Start(drive.Root() + "Setup.exe");
    HWND dialog = WaitTopWindow(setup.Id(), "TFormFirstDialog", "Setup");
    ASSERT_TRUE(dialog) << set.what;
    Click(FindChild(dialog, "TButton", "Start Installation"));

    std::vector<std::string> texts;
    for (;;) {
        MessageBoxInfo box;
        const bool ended = WaitFor(
            [&] {
                box = WaitMessageBox(setup.Id(), 0);
                return box || !setup.Running();
            },
            60000);
        ASSERT_TRUE(ended) << set.what << ": Setup neither ended nor asked anything";
        if (!box) break;
        texts.push_back(box.text);
        for (std::size_t disk = 2; disk <= disks.size(); ++disk)
            if (box.text == "Insert game disk ?" + std::to_string(disk) + ".")
                drive.Repoint(disks[disk - 1]);
        Press(box, IDOK);
    }
    std::vector<std::string> expected;
    for (std::size_t disk = 2; disk <= disks.size(); ++disk)
        expected.push_back("Insert game disk ?" + std::to_string(disk) + ".");
    expected.push_back("Installation done");
    EXPECT_EQ(texts, expected) << set.what;

    const std::string installed = kGames + set.project + "\\";
    EXPECT_EQ(ListTree(installed), ListTree(SampleGame())) << set.what;
    for (const std::string& entry : ListTree(SampleGame())) {
        if (entry.back() == '\\') continue;
        EXPECT_EQ(ReadFile(installed + entry), ReadFile(SampleGame() + entry))
            << set.what << ": " << entry;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, MkdisksInstall,
    ::testing::Values(DiskSet{"two CD-ROMs", "--disks 2", DriveKind::CdRom},
                      DiskSet{"1.44M floppies, -lh7-", "--disk-size 1.44M --method lh7 --best",
                              DriveKind::Floppy},
                      DiskSet{"two CD images", "", DriveKind::CdRom, "cd"},
                      // A project name longer than 8.3 and a Japanese title ("game" in katakana).
                      DiskSet{"1.44M floppy images", "", DriveKind::Floppy, "floppy",
                              "ProjectLongName", "\x83\x51\x81\x5B\x83\x80"}));

} // namespace
