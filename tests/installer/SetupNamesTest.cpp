// Setup's name rules: which names may stand as one file or folder name, with the double-byte
// rules of code page 932 and of a single-byte code page, and which lengths fit the paths Setup
// forms in folders of given lengths.
#include "SetupNames.h"

#include <gtest/gtest.h>

namespace {

bool Cp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool NoLeadByte(unsigned char) {
    return false;
}

TEST(SetupNames, OneNameEachWithDoubleByteRules) {
    const std::string so = "\x83\x5C"; // ソ: its trail byte is a backslash
    const struct {
        std::string name;
        bool cp932;  // usable where the code page is 932
        bool cp1252; // usable where it has no double-byte characters
    } cases[] = {
        {"Project1", true, true},
        {"My Game", true, true},
        {so + "\x83\x74\x83\x67", true, false}, // ソフト
        {"Quest" + so, true, false},
        {"\x83", false, true}, // would take the backslash after it as its trail byte
        {"\x83.x", false, true},
        {"..\\..\\Startup\\victim", false, false},
        {"..\\..\\..\\..\\Desktop\\evil", false, false},
        {"a\\b", false, false},
        {"a/b", false, false},
        {"\\", false, false},
        {"\x83/", false, false}, // '/' is never a trail byte
        {"C:evil", false, false},
        {"Quest: The Game", false, false},
        {"..", false, false},
        {".", false, false},
        {"...", false, false},
        {". .", false, false},
        {"..game", true, true},
        {"what?", false, false},
        {"*", false, false},
        {"a\"b", false, false},
        {"a<b>", false, false},
        {"a|b", false, false},
        {"tab\there", false, false},
        {"NUL", false, false},
        {"con", false, false},
        {"Com1", false, false},
        {"LPT9 .lzh", false, false},
        {"aux.txt", false, false},
        {"CONOUT$", false, false},
        {"CONSOLE", true, true},
        {"COM10", true, true},
        {"Aux Game", true, true},
        {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RefusedSetupName(c.name, Cp932LeadByte) == nullptr, c.cp932)
            << "code page 932: \"" << c.name << "\"";
        EXPECT_EQ(RefusedSetupName(c.name, NoLeadByte) == nullptr, c.cp1252)
            << "single-byte: \"" << c.name << "\"";
    }
}

TEST(SetupNames, EveryPathSetupFormsStaysBelowMaxPath) {
    // Each path has room for one byte more than the row's name; the next byte reaches MAX_PATH.
    const SetupFolders shortFolders = {3, 3, 3, 3};
    const struct {
        const char* path;
        SetupFolders folders;
        int volumes;
        std::size_t longest; // the longest project name that fits
    } cases[] = {
        // base + NAME + "\LUM_RT.ind"
        {"game folder", {100, 3, 3, 3}, 0, 259 - 100 - 11},
        // disk + NAME + ".lzh", ".001", ".1000"
        {"archive on the disk", {3, 200, 3, 3}, 0, 259 - 200 - 4},
        {"volume on the disk", {3, 200, 3, 3}, 999, 259 - 200 - 4},
        {"volume 1000 on the disk", {3, 200, 3, 3}, 1000, 259 - 200 - 5},
        // temp + "LUM_TEMP\GameDisk\" + NAME + ".lzh"
        {"archive in the temporary folder", {3, 3, 150, 3}, 0, 259 - 150 - 18 - 4},
        {"volume 10000 in the temporary folder", {3, 3, 150, 3}, 10000, 259 - 150 - 18 - 6},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RefusedProjectLength(c.longest, c.volumes, c.folders), nullptr) << c.path;
        EXPECT_NE(RefusedProjectLength(c.longest + 1, c.volumes, c.folders), nullptr) << c.path;
    }
    // programs + "Lumetra Studio\ゲーム\" + TITLE + ".lnk"
    const SetupFolders programs = {3, 3, 3, 120};
    EXPECT_EQ(RefusedTitleLength(259 - 120 - 22 - 4, programs), nullptr);
    EXPECT_NE(RefusedTitleLength(259 - 120 - 22 - 3, programs), nullptr);
    EXPECT_NE(RefusedProjectLength(1000, 0, shortFolders), nullptr);
    EXPECT_NE(RefusedTitleLength(1000, shortFolders), nullptr);
}

} // namespace
