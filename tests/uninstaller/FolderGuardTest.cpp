// Which folder the uninstaller accepts as a game folder.
#include "FolderGuard.h"

#include "Drives.h"
#include "Files.h"
#include "Wait.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

namespace {

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string CharUpper(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

TEST(FolderGuard, AcceptsOnlyRealSubFoldersOutsideTheProtectedOnes) {
    const ProtectedFolders guarded = {
        {NormalFolder("C:\\users\\root\\"), NormalFolder("C:\\Program Files\\")},
        {NormalFolder("C:\\WINDOWS\\")}};
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Games\\Project1\\LUM_RT.ind", "C:\\Games\\Project1\\"},
        {"c:\\games\\x y\\LUM_RT.ind", "C:\\games\\x y\\"}, // the drive as the system names it
        {"C:\\Program Files\\Morvane\\Lumetra\\G\\LUM_RT.ind",
         "C:\\Program Files\\Morvane\\Lumetra\\G\\"},
        {"C:\\users\\root\\Games\\LUM_RT.ind", "C:\\users\\root\\Games\\"},
        {"C:\\Win\\LUM_RT.ind", "C:\\Win\\"},           // a prefix, but not a folder above
        {"C:\\WINDOWS2\\LUM_RT.ind", "C:\\WINDOWS2\\"}, // the same
        {"C:\\Games\\X\\..\\LUM_RT.ind", "C:\\Games\\"},
        {"C:\\Games\\\x83\x5C\\LUM_RT.ind", "C:\\Games\\\x83\x5C\\"},
        {"\\\\server\\share\\Game\\LUM_RT.ind", "\\\\server\\share\\Game\\"},
        // Empty folder part, relative, or not on a drive or share.
        {"", ""},
        {"LUM_RT.ind", ""},
        {"Games\\X\\LUM_RT.ind", ""},
        {"\\Games\\X\\LUM_RT.ind", ""},
        {"C:LUM_RT.ind", ""},
        {"C:Games\\LUM_RT.ind", ""},
        // The device namespace's spelling of a drive or share path counts as that path.
        {"\\\\?\\C:\\Games\\X\\LUM_RT.ind", "C:\\Games\\X\\"},
        {"\\\\?\\UNC\\server\\share\\Game\\LUM_RT.ind", "\\\\server\\share\\Game\\"},
        {"\\\\?\\UNC\\server\\share\\LUM_RT.ind", ""},
        {"\\\\?\\C:\\LUM_RT.ind", ""},
        {"\\\\?\\GLOBALROOT\\Device\\X\\LUM_RT.ind", ""},
        {"\\\\.\\C:\\Games\\X\\LUM_RT.ind", ""},
        {"\\\\server\\LUM_RT.ind", ""},
        {"\\\\\\share\\Game\\LUM_RT.ind", ""},
        // Roots.
        {"C:\\LUM_RT.ind", ""},
        {"C:\\Games\\..\\LUM_RT.ind", ""},
        {"C:\\Games\\X\\..\\..\\..\\LUM_RT.ind", ""},
        {"\\\\server\\share\\LUM_RT.ind", ""},
        {"\\\\server\\share\\Game\\..\\LUM_RT.ind", ""},
        // Protected folders and the folders above them, in any case.
        {"C:\\windows\\LUM_RT.ind", ""},
        {"C:\\Windows\\.\\LUM_RT.ind", ""},
        {"C:\\Program Files\\LUM_RT.ind", ""},
        {"C:\\USERS\\ROOT\\LUM_RT.ind", ""},
        {"C:\\users\\LUM_RT.ind", ""},
        {"\\\\?\\C:\\program files\\LUM_RT.ind", ""},
        // Nothing inside a sealed folder either.
        {"C:\\WINDOWS\\Game\\LUM_RT.ind", ""},
        {"C:\\windows\\a\\b\\LUM_RT.ind", ""},
    };
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(GameFolderOf(path, guarded), folder) << "install data: " << path;
}

TEST(FolderGuard, RefusesTheSystemsAndTheUsersOwnFolders) {
    const ProtectedFolders guarded = SystemFolders();
    const std::pair<int, bool> folders[] = {
        // CSIDL number, whether a folder below it may be a game folder
        {CSIDL_WINDOWS, false},         {CSIDL_SYSTEM, false},
        {CSIDL_PROGRAM_FILES, true},    {CSIDL_PROFILE, true},
        {CSIDL_DESKTOPDIRECTORY, true}, {CSIDL_PERSONAL, true},
        {CSIDL_STARTMENU, true},        {CSIDL_PROGRAMS, true},
        {CSIDL_COMMON_PROGRAMS, true},  {CSIDL_COMMON_DESKTOPDIRECTORY, true}};
    for (const auto& [csidl, belowAllowed] : folders) {
        const std::string folder = ShellFolder(csidl);
        ASSERT_FALSE(folder.empty()) << "CSIDL " << csidl;
        EXPECT_EQ(GameFolderOf(folder + "\\LUM_RT.ind", guarded), "") << folder;
        EXPECT_EQ(GameFolderOf(folder + "\\..\\LUM_RT.ind", guarded), "") << folder << "\\..";
        EXPECT_EQ(GameFolderOf(folder + "\\Game\\LUM_RT.ind", guarded) != "", belowAllowed)
            << folder << "\\Game";
    }
}

// The folders a player could pick as base folder and lose, spelled in every way that leads to
// them; the system's own folders are found through the shell, the registry and the environment.
TEST(FolderGuard, KnowsEveryFolderOfTheSystemAndTheUserHoweverSpelled) {
    const std::string windows = ShellFolder(CSIDL_WINDOWS) + "\\";
    const std::string profile = ShellFolder(CSIDL_PROFILE) + "\\";
    char programFilesShort[MAX_PATH] = "";
    GetShortPathNameA("C:\\Program Files", programFilesShort, MAX_PATH);
    ASSERT_NE(std::string(programFilesShort), "C:\\Program Files") << "no short name to test with";
    testbed::DriveMapping windowsDrive(testbed::DriveKind::Fixed, windows);
    const std::string alias = windowsDrive.Root();
    // Wine reads its table of drives again at most once a second, and names a folder through the
    // drive whose root lies deepest: wait until final paths know the new letter, so that every
    // verdict below is made with the same table.
    ASSERT_TRUE(testbed::WaitFor([&] {
        return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, NormalFolder(windows).c_str(), -1,
                              alias.c_str(), -1) == CSTR_EQUAL;
    }));
    const ProtectedFolders guarded = SystemFolders();
    const std::pair<std::string, bool> cases[] = {
        // game folder, whether it may go
        {"C:\\Program Files\\", false}, // the 64-bit one, named only in the 64-bit view
        {"C:\\Program Files\\Common Files\\", false},
        {"C:\\Program Files (x86)\\", false},
        {"C:\\ProgramData\\", false},
        {windows + "Fonts\\", false},
        {windows + "Temp\\", false},
        {windows + "no such folder\\", false},
        {profile + "Music\\", false},
        {profile + "Pictures\\", false},
        {profile + "Downloads\\", false}, // known folders without a CSIDL number
        {profile + "Saved Games\\", false},
        {profile + "AppData\\Local\\", false},
        {profile + "AppData\\", false}, // above a shell folder
        {profile + "..\\", false},      // above every profile
        {"C:\\", false},
        {alias, false},
        {alias + "Fonts\\", false}, // the Windows folder through another drive letter
        {alias + "system32\\", false},
        {"\\\\?\\" + windows + "Fonts\\", false},
        {"\\\\?\\" + profile + "Music\\", false},
        {std::string(programFilesShort) + "\\", false},
        {"C:\\PROGRAM FILES\\", false},
        {"c:\\program files (X86)\\", false},
        {CharUpper(profile + "Music\\"), false},
        {ShellFolder(CSIDL_PERSONAL) + "\\Games\\Quest\\", true}, // below a shell folder
        {profile + "Music\\Quest\\", true},
        {"C:\\Program Files\\Morvane\\Lumetra\\Quest\\", true},
        {"C:\\Games\\Quest\\", true},
    };
    for (const auto& [folder, allowed] : cases)
        EXPECT_EQ(GameFolderOf(folder + "LUM_RT.ind", guarded) != "", allowed) << folder;
}

TEST(FolderGuard, SeesAProtectedFolderThroughItsShortName) {
    const std::string folder = testbed::FreshFolder("uninst-guard") + "A Long Folder Name";
    testbed::MakeFolders(folder);
    char shortPath[MAX_PATH] = "";
    ASSERT_NE(GetShortPathNameA(folder.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(std::string(shortPath), folder) << "no short name to test with";
    const ProtectedFolders guarded = {{NormalFolder(folder)}, {}};
    EXPECT_EQ(GameFolderOf(std::string(shortPath) + "\\LUM_RT.ind", guarded), "") << shortPath;
}

TEST(FolderGuard, RefusesAGameFolderThatIsOrLiesBelowALink) {
    const std::pair<std::string, std::string> cases[] = {
        {"Linked", "Linked\\LUM_RT.ind"},       // the game folder is the link
        {"Games", "Games\\Linked\\LUM_RT.ind"}, // a folder above it is
    };
    for (const auto& [link, installData] : cases) {
        const std::string root = testbed::FreshFolder("uninst-link");
        testbed::WriteFile(root + "victim\\Linked\\LUM_RT.ind", "[Install Data]\r\nTitle=T\r\n");
        testbed::WriteFile(root + "victim\\LUM_RT.ind", "[Install Data]\r\nTitle=T\r\n");
        testbed::MakeFolderLink(root + link, root + "victim");
        EXPECT_EQ(GameFolderOf(root + installData, {}), "") << installData;
        testbed::RemoveFolderLink(root + link);
    }
    testbed::RemoveTree(testbed::FreshFolder("uninst-link"));
}

} // namespace
