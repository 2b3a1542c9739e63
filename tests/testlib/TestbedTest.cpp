// The test bed itself: drive letters of every kind map onto folders and can be swapped, and the
// shell offers no view of the host's file system.
#include "ComPtr.h"
#include "Drives.h"
#include "Files.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <windows.h>

#include <string>
#include <vector>

namespace testbed {
namespace {

TEST(Testbed, DrivesReportTheirKindAndFollowRepointing) {
    const std::string disk1 = FreshFolder("testbed-disk1");
    const std::string disk2 = FreshFolder("testbed-disk2");
    WriteFile(disk1 + "one.txt", "1");
    WriteFile(disk2 + "two.txt", "2");

    const std::pair<DriveKind, UINT> kinds[] = {{DriveKind::Fixed, DRIVE_FIXED},
                                                {DriveKind::CdRom, DRIVE_CDROM},
                                                {DriveKind::Floppy, DRIVE_REMOVABLE},
                                                {DriveKind::Network, DRIVE_REMOTE}};
    for (const auto& [kind, type] : kinds) {
        DriveMapping drive(kind, disk1);
        SCOPED_TRACE(drive.Root());
        EXPECT_EQ(GetDriveTypeA(drive.Root().c_str()), type);
        EXPECT_TRUE(FileExists(drive.Root() + "one.txt"));
        drive.Repoint(disk2);
        EXPECT_TRUE(FileExists(drive.Root() + "two.txt"));
        EXPECT_FALSE(FileExists(drive.Root() + "one.txt"));
    }
}

TEST(Testbed, DriveWithoutMediumIsNotReadable) {
    DriveMapping drive(DriveKind::Floppy, TestRoot() + "no-such-medium");
    EXPECT_EQ(GetDriveTypeA(drive.Root().c_str()), DRIVE_REMOVABLE);
    EXPECT_EQ(GetFileAttributesA(drive.Root().c_str()), INVALID_FILE_ATTRIBUTES);
}

// The parsing names of a shell folder's subfolders.
std::vector<std::string> SubfolderNames(IShellFolder* folder) {
    std::vector<std::string> names;
    TComPtr<IEnumIDList> items;
    if (folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, items.Receive()) !=
        S_OK)
        return names;
    LPITEMIDLIST item;
    while (items->Next(1, &item, nullptr) == S_OK) {
        STRRET name;
        char text[MAX_PATH] = "";
        if (folder->GetDisplayNameOf(item, SHGDN_FORPARSING, &name) == S_OK)
            StrRetToBufA(&name, item, text, sizeof text);
        names.push_back(text);
        CoTaskMemFree(item);
    }
    return names;
}

// Wine's shell has a folder for the host's / on the desktop; the prefix removes it, and the
// only drive letters are the prefix's own, so a folder dialog cannot browse the host.
TEST(Testbed, DesktopOffersNoViewOfTheHost) {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    {
        TComPtr<IShellFolder> desktop, computer;
        ASSERT_EQ(SHGetDesktopFolder(desktop.Receive()), S_OK);
        LPITEMIDLIST computerItem = nullptr;
        ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computerItem), S_OK);
        ASSERT_EQ(desktop->BindToObject(computerItem, nullptr, IID_IShellFolder,
                                        reinterpret_cast<void**>(computer.Receive())),
                  S_OK);
        CoTaskMemFree(computerItem);
        std::vector<std::string> names = SubfolderNames(desktop.Get());
        const std::vector<std::string> drives = SubfolderNames(computer.Get());
        names.insert(names.end(), drives.begin(), drives.end());
        EXPECT_GT(drives.size(), 0u);
        for (const std::string& name : names) {
            SCOPED_TRACE(name);
            EXPECT_NE(name.rfind("\\\\?\\unix", 0), 0u);
            EXPECT_NE(name.rfind("/", 0), 0u);
            // A drive onto the host's / shows its files.
            EXPECT_EQ(GetFileAttributesA((name + "\\etc\\passwd").c_str()),
                      INVALID_FILE_ATTRIBUTES);
        }
    }
    CoUninitialize();
}

} // namespace
} // namespace testbed
