// Setup.exe as a user starts it from a game disk: silent without a usable setup description,
// the full-screen background with one, the library checks of the run's start, and the DLLs the
// shipped programs import.
#include "Drives.h"
#include "Files.h"
#include "Gui.h"
#include "Process.h"
#include "Wait.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

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

const IMAGE_NT_HEADERS32* NtHeaders(const std::string& image) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    return reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
}

// The DLLs a program imports, read from the import directory of its file.
std::vector<std::string> ImportedDlls(const std::string& path) {
    const std::string image = ReadFile(path);
    const auto* nt = NtHeaders(image);
    const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        reinterpret_cast<const char*>(&nt->OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader);
    const auto at = [&](DWORD rva) -> const char* {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& section = sections[i];
            if (rva >= section.VirtualAddress &&
                rva < section.VirtualAddress + section.Misc.VirtualSize)
                return image.data() + (rva - section.VirtualAddress + section.PointerToRawData);
        }
        return nullptr;
    };
    std::vector<std::string> names;
    const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
        at(nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress));
    for (; entry && entry->Name; ++entry)
        names.emplace_back(at(entry->Name));
    return names;
}

TEST(SetupProgram, ProgramsAndLibraryImportOnlyKnownDlls) {
    // The system's known DLLs always come from the system folder; any other import would be
    // looked for beside the program first, on the disk or in a download folder.
    const std::set<std::string> known = {"advapi32.dll", "gdi32.dll", "kernel32.dll",
                                         "msvcrt.dll",   "ole32.dll", "oleaut32.dll",
                                         "shell32.dll",  "user32.dll"};
    for (const char* program : {"Setup.exe", "zevizorezu.exe", "UNLHA32.DLL"}) {
        const std::vector<std::string> dlls = ImportedDlls(BuiltProgram(program));
        EXPECT_FALSE(dlls.empty()) << program;
        for (std::string dll : dlls) {
            CharLowerA(dll.data());
            EXPECT_TRUE(known.count(dll)) << program << " imports " << dll;
        }
    }
}

TEST(SetupProgram, ProgramsAreTerminalServerAware) {
    // Otherwise a terminal server gives them a Windows folder of the user's own, which the user
    // may write to: the uninstaller would be written there and registered to run as
    // administrator.
    for (const char* program : {"Setup.exe", "zevizorezu.exe"}) {
        const std::string image = ReadFile(BuiltProgram(program));
        EXPECT_TRUE(NtHeaders(image)->OptionalHeader.DllCharacteristics &
                    IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE)
            << program;
    }
}

TEST(SetupProgram, SetupAndItsLibraryRunFromThePageFileOffADisk) {
    // The disks are changed while they run: pages read from the drive later would come from
    // another disk.
    const WORD flags = IMAGE_FILE_REMOVABLE_RUN_FROM_SWAP | IMAGE_FILE_NET_RUN_FROM_SWAP;
    for (const char* program : {"Setup.exe", "UNLHA32.DLL"}) {
        const std::string image = ReadFile(BuiltProgram(program));
        EXPECT_EQ(NtHeaders(image)->FileHeader.Characteristics & flags, flags) << program;
    }
}

} // namespace
