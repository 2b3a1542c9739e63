// The test bed itself: drive letters of every kind map onto folders and can be swapped.
#include "Drives.h"
#include "Files.h"

#include <gtest/gtest.h>
#include <windows.h>

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

} // namespace
} // namespace testbed
