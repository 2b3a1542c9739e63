// Reading the install-data file and judging the names it holds.
#include "InstallData.h"

#include "Files.h"

#include <gtest/gtest.h>

namespace {

const std::string kBranch = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

TEST(InstallData, ReadsTheThreeValuesAndTakesEachUpTo2047Bytes) {
    const std::string folder = testbed::FreshFolder("uninst-data");
    const std::string longTitle(3000, 'T');
    testbed::WriteFile(folder + "LUM_RT.ind", "[Install Data]\r\nTitle=" + longTitle +
                                                  "\r\nUninstallKeyName=" + kBranch +
                                                  "Lumetra Studio P1\r\nShortcutName=A\\B.lnk\r\n");
    const InstallData data = ReadInstallData(folder + "LUM_RT.ind");
    EXPECT_EQ(data.title, longTitle.substr(0, 2047));
    EXPECT_EQ(data.uninstallKeyName, kBranch + "Lumetra Studio P1");
    EXPECT_EQ(data.shortcutName, "A\\B.lnk");

    const InstallData missing = ReadInstallData(folder + "none.ind");
    EXPECT_EQ(missing.title + missing.uninstallKeyName + missing.shortcutName, "");
}

TEST(InstallData, TrustsOnlyKeysDirectlyBelowTheUninstallBranch) {
    const std::pair<std::string, bool> cases[] = {
        {kBranch + "Lumetra Studio Project1", true},
        {"software\\microsoft\\windows\\currentversion\\uninstall\\x", true},
        {"SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\X", true},
        {kBranch + "Lumetra Studio \x83\x5C", true}, // ends in a 0x5C second byte
        {kBranch + "\x83\x5C\x83\x74\x83\x67", true},
        {"", false},
        {kBranch, false},
        {kBranch.substr(0, kBranch.size() - 1), false},
        {kBranch + "\\", false},
        {kBranch + "A\\B", false},
        {kBranch + "A\\", false},
        {"\\" + kBranch + "A", false},
        {"Software\\Microsoft\\Windows\\CurrentVersion\\UninstallX\\A", false},
        {"Software\\Microsoft\\Windows\\CurrentVersion\\Run", false},
        {"Software\\Morvane\\Lumetra", false},
        {"Software", false},
    };
    for (const auto& [name, trusted] : cases)
        EXPECT_EQ(IsUninstallKeyName(name), trusted) << "key name: " << name;
}

TEST(InstallData, TrustsOnlyShortcutNamesThatStayBelowTheProgramsFolder) {
    const std::pair<std::string, bool> cases[] = {
        {"Lumetra Studio\\\x83\x51\x81\x5B\x83\x80\\The Game.lnk", true},
        {"x.lnk", true},
        {"A\\B\\C\\D.lnk", true},
        {"\x83\x5C\\x.lnk", true},
        {"A\\..x.lnk", true},
        {"", false},
        {"..", false},
        {"..\\x.lnk", false},
        {"A\\..\\..\\x.lnk", false},
        {"A/../x.lnk", false},
        {"A\\B\\..", false},
        {"A\\.\\x.lnk", false},
        {"...\\x.lnk", false},
        {"A\\\\x.lnk", false},
        {"A\\", false},
        {"\\x.lnk", false},
        {"/x.lnk", false},
        {"\\\\server\\share\\x.lnk", false},
        {"C:\\x.lnk", false},
        {"C:x.lnk", false},
        {"x.lnk:stream", false},
    };
    for (const auto& [name, trusted] : cases)
        EXPECT_EQ(IsShortcutName(name), trusted) << "shortcut name: " << name;
}

} // namespace
