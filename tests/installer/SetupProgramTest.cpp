// Setup.exe as a user starts it from a game disk: silent without a usable setup description,
// the full-screen background with one, and the library checks of the run's start.
#include "Drives.h"
#include "Files.h"
#include "Gui.h"
#include "Process.h"
#include "Wait.h"

#include <gtest/gtest.h>

using namespace testbed;

namespace {

const char* const kTitle = "Setup       ";

// A game disk folder with the installer stored under exeName and its setup description.
std::string MakeDisk(const std::string& name, const std::string& exeName,
                     const std::string& description) {
    const std::string disk = FreshFolder(name);
    CopyFileA(BuiltProgram("Setup.exe").c_str(), (disk + exeName).c_str(), FALSE);
    if (!description.empty())
        WriteFile(disk + exeName.substr(0, exeName.rfind('.')) + ".ini", description);
    return disk;
}

// Runs the program to its end, failing when any window of it appears.
void ExpectSilentEnd(const std::string& exe) {
    Process setup = Process::Start(exe);
    DWORD exitCode = 1;
    bool windowSeen = false;
    const bool ended = WaitFor([&] {
        windowSeen |= !TopWindows(setup.Id()).empty();
        return setup.WaitExit(0, &exitCode);
    });
    ASSERT_TRUE(ended) << exe << " did not end";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(windowSeen) << exe << " showed a window";
}

TEST(SetupProgram, EndsSilentlyWithoutProjectOrTitle) {
    ExpectSilentEnd(MakeDisk("setup-noini", "Setup.exe", "") + "Setup.exe");
    ExpectSilentEnd(MakeDisk("setup-notitle", "Setup.exe", "[Setup]\r\nProjectName=Project1\r\n") +
                    "Setup.exe");
    ExpectSilentEnd(MakeDisk("setup-noproject", "Setup.exe", "[Setup]\r\nGameTitle=The Game\r\n") +
                    "Setup.exe");
}

struct Started {
    Process process;
    HWND background;
};

void ExpectLibraryError(const std::string& disk, const std::string& exeName,
                        const std::string& message) {
    DriveMapping drive(DriveKind::CdRom, disk);
    Process setup = Process::Start(drive.Root() + exeName);
    HWND background = WaitTopWindow(setup.Id(), "TFormBackground");
    ASSERT_TRUE(background) << "no background window";
    const RECT bounds = ScreenRect(background);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(bounds.bottom, GetSystemMetrics(SM_CYSCREEN));

    const MessageBoxInfo box = WaitMessageBox(setup.Id());
    ASSERT_TRUE(box) << "no error box";
    EXPECT_EQ(box.caption, kTitle);
    EXPECT_EQ(box.text, message);
    EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(ClassOf(box.owner), "TApplication");
    EXPECT_EQ(TextOf(box.owner), kTitle);
    Press(box, IDOK);
    DWORD exitCode = 1;
    EXPECT_TRUE(setup.WaitExit(20000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

const char* const kDescription = "[Setup]\r\nProjectName=Project1\r\nGameTitle=The Game\r\n";

TEST(SetupProgram, ShowsTheBackgroundAndReportsAMissingLibrary) {
    // Stored under another name, the installer reads the description of that name.
    ExpectLibraryError(MakeDisk("setup-nodll", "INSTALL.EXE", kDescription), "INSTALL.EXE",
                       "Can't load UNLHA32.DLL file.");
}

TEST(SetupProgram, NeverTakesTheLibraryFromTheCurrentFolder) {
    const std::string disk = MakeDisk("setup-curdir", "Setup.exe", kDescription);
    const std::string elsewhere = FreshFolder("setup-curdir-lib");
    CopyFileA(BuiltProgram("bogus_unlha.dll").c_str(), (elsewhere + "UNLHA32.DLL").c_str(), FALSE);
    DriveMapping drive(DriveKind::CdRom, disk);
    Process setup = Process::Start(drive.Root() + "Setup.exe", "", elsewhere);
    const MessageBoxInfo box = WaitMessageBox(setup.Id());
    ASSERT_TRUE(box);
    EXPECT_EQ(box.text, "Can't load UNLHA32.DLL file.");
    Press(box, IDOK);
    EXPECT_TRUE(setup.WaitExit(20000));
}

TEST(SetupProgram, ReportsALibraryWithoutItsEntry) {
    const std::string disk = MakeDisk("setup-baddll", "Setup.exe", kDescription);
    CopyFileA(BuiltProgram("bogus_unlha.dll").c_str(), (disk + "UNLHA32.DLL").c_str(), FALSE);
    ExpectLibraryError(disk, "Setup.exe", "UNLHA32.DLL file is illegal.");
}

} // namespace
