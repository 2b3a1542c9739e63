// Which folder the uninstaller accepts as a game folder.
#include "FolderGuard.h"

#include "Drives.h"
#include "Files.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

namespace {

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

TEST(FolderGuard, AcceptsOnlyRealSubFoldersOutsideTheProtectedOnes) {
    const std::vector<std::string> guarded = {"C:\\WINDOWS\\", "C:\\users\\root\\",
                                              "C:\\Program Files\\"};
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Games\\Project1\\LUM_RT.ind", "C:\\Games\\Project1\\"},
        {"c:\\games\\x y\\LUM_RT.ind", "c:\\games\\x y\\"},
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
        {"\\\\?\\C:\\Games\\X\\LUM_RT.ind", ""},
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
    };
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(GameFolderOf(path, guarded), folder) << "install data: " << path;
}

TEST(FolderGuard, RefusesTheSystemsAndTheUsersOwnFolders) {
    const std::vector<std::string> guarded = ProtectedFolders();
    const int folders[] = {CSIDL_WINDOWS,          CSIDL_SYSTEM,
                           CSIDL_PROGRAM_FILES,    CSIDL_PROFILE,
                           CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL,
                           CSIDL_STARTMENU,        CSIDL_PROGRAMS,
                           CSIDL_COMMON_PROGRAMS,  CSIDL_COMMON_DESKTOPDIRECTORY};
    for (const int csidl : folders) {
        const std::string folder = ShellFolder(csidl);
        ASSERT_FALSE(folder.empty()) << "CSIDL " << csidl;
        EXPECT_EQ(GameFolderOf(folder + "\\LUM_RT.ind", guarded), "") << folder;
        EXPECT_EQ(GameFolderOf(folder + "\\..\\LUM_RT.ind", guarded), "") << folder << "\\..";
        EXPECT_NE(GameFolderOf(folder + "\\Game\\LUM_RT.ind", guarded), "") << folder << "\\Game";
    }
}

TEST(FolderGuard, SeesAProtectedFolderThroughItsShortName) {
    const std::string folder = testbed::FreshFolder("uninst-guard") + "A Long Folder Name";
    testbed::MakeFolders(folder);
    char shortPath[MAX_PATH] = "";
    ASSERT_NE(GetShortPathNameA(folder.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(std::string(shortPath), folder) << "no short name to test with";
    const std::vector<std::string> guarded = {NormalFolder(folder)};
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
