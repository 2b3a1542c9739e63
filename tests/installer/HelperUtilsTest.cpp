// The helpers: folders, drive tests on mapped drives, volumes, form placement, message boxes.
#include "HelperUtils.h"
#include "Drives.h"
#include "Errors.h"
#include "Files.h"
#include "Forms.h"
#include "Gui.h"
#include "RegistryProbe.h"

#include <gtest/gtest.h>

#include <thread>

using namespace testbed;

namespace {

class HelperUtils : public ::testing::Test {
protected:
    TApplication application;
};

TEST_F(HelperUtils, FoldersEndWithABackslash) {
    // Wine gives a program started from an unmapped host folder its path without "\\?\".
    EXPECT_NE(ExeFolder().find(GetExeDir()), std::string::npos) << GetExeDir();
    EXPECT_EQ(GetExeDir().back(), '\\');
    EXPECT_EQ(GetWindowsDir(), "C:\\windows\\");
    EXPECT_EQ(GetTempDir().back(), '\\');
    EXPECT_EQ(GetProgramFilesDir(), "C:\\Program Files (x86)\\");
    EXPECT_EQ(GetProgramsDir(),
              "C:\\users\\root\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\");
}

TEST_F(HelperUtils, ProgramFilesWithoutTheValueIsASingleBackslash) {
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion";
    const auto stored = RegString(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir");
    ASSERT_TRUE(stored);
    RegDeleteValueIn(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir");
    EXPECT_EQ(GetProgramFilesDir(), "\\");
    RegSetDword(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", 1);
    EXPECT_THROW(GetProgramFilesDir(), ERegistryException);
    RegSetString(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", *stored);
}

TEST_F(HelperUtils, DriveRootOfEveryPathForm) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\GAMES", "C:\\"},
        {"c:", "c:\\"},
        {"1:\\GAMES", "1:\\"},
        {"\\\\srv\\share\\dir", "\\\\srv\\share\\"},
        {"\\\\srv\\share", "\\\\srv\\share\\"},
        {"GAMES", "\\"},
        {"", "\\"}};
    for (const auto& [path, root] : cases)
        EXPECT_EQ(DriveRoot(path), root) << path;
}

TEST_F(HelperUtils, DriveTestsOnMappedDrivesShowNoSystemBox) {
    const std::string disk = FreshFolder("helper-disk");
    DriveMapping cdrom(DriveKind::CdRom, disk);
    DriveMapping fixed(DriveKind::Fixed, disk);
    DriveMapping empty(DriveKind::Floppy, TestRoot() + "no-diskette");
    DriveMapping floppy(DriveKind::Floppy, disk);
    const UINT errorMode = GetErrorMode();

    EXPECT_TRUE(IsDriveReady(cdrom.Root() + "GAME"));
    EXPECT_TRUE(IsDriveReady(fixed.Root()));
    EXPECT_FALSE(IsDriveReady(empty.Root() + "GAME"));
    EXPECT_FALSE(IsDriveReady("Q:\\GAME")); // no such drive
    EXPECT_TRUE(IsDriveReady("GAME"));      // the current drive's root

    EXPECT_FALSE(IsFloppyDrive(fixed.Root()));
    EXPECT_FALSE(IsFloppyDrive(cdrom.Root()));
    EXPECT_FALSE(IsFloppyDrive("Q:\\"));
    EXPECT_EQ(GetErrorMode(), errorMode) << "the error mode was not restored";
    EXPECT_TRUE(TopWindows(GetCurrentProcessId()).empty()) << "a system box appeared";
}

TEST_F(HelperUtils, FloppyDrivesByTheWordsInTheirNames) {
    // The first occurrence of a word counts when it does not open the name.
    const std::pair<const char*, bool> cases[] = {
        {"3.5 FD (A:)", true},  {"3\x82\xDC Floppy (A:)", true}, {"FD Floppy (A:)", true},
        {"Floppy FD (A:)", true}, {"FD (A:)", false},             {"Floppy (A:)", false},
        {"FDFD (A:)", false},   {"Disk fd floppy (A:)", false}, {" (A:)", false},
        {"", false}};
    for (const auto& [name, floppy] : cases)
        EXPECT_EQ(NamesFloppyDrive(name), floppy) << name;
}

TEST_F(HelperUtils, LettersAreAsciiOnly) {
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(IsAsciiLetter(static_cast<unsigned char>(c)),
                  (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            << c;
}

TEST_F(HelperUtils, JoinVolumesAppendsEveryVolumeInOrder) {
    const std::string folder = FreshFolder("helper-join");
    const std::string first(8192, 'a');
    WriteFile(folder + "Project1.001", first);
    WriteFile(folder + "Project1.002", "0123456789");
    JoinVolumes(folder + "Project1.lzh", folder, 2);
    EXPECT_EQ(ReadFile(folder + "Project1.lzh"), first + "0123456789");

    JoinVolumes(folder + "Project1.lzh", folder, 0);
    EXPECT_EQ(ReadFile(folder + "Project1.lzh"), "");

    try {
        JoinVolumes(folder + "Project1.lzh", folder, 3);
        FAIL() << "a missing volume was not reported";
    } catch (const EFOpenError& error) {
        EXPECT_NE(std::string(error.what()).find(folder + "Project1.003"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(ReadFile(folder + "Project1.lzh").size(), 8202u) << "what was joined stays";
}

TEST_F(HelperUtils, VolumeExtensionsHaveAtLeastThreeDigits) {
    const std::pair<int, std::string> cases[] = {
        {1, ".001"}, {12, ".012"}, {999, ".999"}, {1000, ".1000"}, {12345, ".12345"}};
    for (const auto& [disk, extension] : cases)
        EXPECT_EQ(VolumeExtension(disk), extension) << disk;
}

TEST_F(HelperUtils, FormsAreFittedToTheScreenAndCentredOnTheirOwner) {
    auto* owner = application.CreateForm<TForm>();
    owner->SetBounds(100, 50, 400, 300);
    auto* form = new TForm(owner);
    form->SetBounds(0, 0, 201, 101);
    CenterFormOnOwner(form);
    EXPECT_EQ(form->Left(), 200 + 100 - 100);
    EXPECT_EQ(form->Top(), 150 + 50 - 50);

    const int screenWidth = GetSystemMetrics(SM_CXMAXIMIZED) - 2 * GetSystemMetrics(SM_CXFRAME);
    form->SetBounds(screenWidth + 50, 10, 201, 101);
    FitFormToScreen(form);
    EXPECT_EQ(form->Left(), screenWidth - 201);
    form->SetBounds(30, 30, 5000, 101);
    FitFormToScreen(form);
    EXPECT_EQ(form->Left(), 0);

    auto* orphan = new TForm(&application);
    EXPECT_THROW(CenterFormOnOwner(orphan), EInvalidCast);
}

TEST_F(HelperUtils, MessageBoxesCarryTheTitleAndTheApplicationWindowOwnsThem) {
    application.SetTitle("Setup       ");
    MessageBoxInfo seen;
    std::thread answer([&] {
        seen = WaitMessageBox(GetCurrentProcessId());
        if (seen) Press(seen, IDOK);
    });
    const int pressed = ShowErrorBox("Installation stopped");
    answer.join();
    EXPECT_EQ(pressed, IDOK);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen.caption, "Setup       ");
    EXPECT_EQ(seen.text, "Installation stopped");
    EXPECT_EQ(seen.owner, application.Handle());
    EXPECT_EQ(seen.icon, static_cast<UINT>(MB_ICONERROR));

    std::thread answerNo([&] {
        seen = WaitMessageBox(GetCurrentProcessId());
        if (seen) Press(seen, IDNO);
    });
    EXPECT_EQ(ShowQuestionBox("Create it?"), IDNO);
    answerNo.join();
    EXPECT_EQ(seen.icon, static_cast<UINT>(MB_ICONQUESTION));
}

} // namespace
