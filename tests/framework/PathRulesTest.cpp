// Double-byte path rules, run under code page 932 and again under 1252, where the same bytes
// are two single-byte characters.
#include "PathRules.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// The katakana letter so: 0x83 0x5C in code page 932, whose trail byte is a backslash.
const std::string So = "\x83\x5C";

bool Dbcs() {
    return GetACP() == 932;
}

struct Case {
    std::string input;
    std::string cp932;
    std::string cp1252;
};

void Check(const char* rule, std::string (*function)(const std::string&),
           const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(function(c.input), Dbcs() ? c.cp932 : c.cp1252)
            << rule << "(\"" << c.input << "\")";
}

TEST(PathRules, AddBackslash) {
    Check("AddBackslash", AddBackslash,
          {{"", "\\", "\\"},
           {"C:\\GAME", "C:\\GAME\\", "C:\\GAME\\"},
           {"C:\\", "C:\\", "C:\\"},
           {"C:\\" + So, "C:\\" + So + "\\", "C:\\" + So},
           {"C:\\" + So + "\\", "C:\\" + So + "\\", "C:\\" + So + "\\"}});
}

TEST(PathRules, FolderPart) {
    Check("ExtractFileDir", ExtractFileDir,
          {{"C:\\Games\\Project1\\LUM_RT.ind", "C:\\Games\\Project1", "C:\\Games\\Project1"},
           {"C:\\Games\\Project1\\", "C:\\Games\\Project1", "C:\\Games\\Project1"},
           {"C:\\LUM_RT.ind", "C:\\", "C:\\"},
           {"C:LUM_RT.ind", "C:", "C:"},
           {"LUM_RT.ind", "", ""},
           {"\\LUM_RT.ind", "\\", "\\"},
           {"\\\\server\\share\\LUM_RT.ind", "\\\\server\\share", "\\\\server\\share"},
           {"C:\\" + So + "\\LUM_RT.ind", "C:\\" + So, "C:\\" + So + "\\"},
           {"C:\\" + So, "C:\\", "C:\\\x83"},
           {"C:\\Games\\" + So + "\\", "C:\\Games\\" + So, "C:\\Games\\\x83\\\\"}});
}

TEST(PathRules, FilePathAndName) {
    Check("ExtractFilePath", ExtractFilePath,
          {{"D:\\SETUP.EXE", "D:\\", "D:\\"},
           {"D:\\SETUP\\SETUP.EXE", "D:\\SETUP\\", "D:\\SETUP\\"},
           {"D:SETUP.EXE", "D:", "D:"},
           {"D:\\" + So + "\\S.EXE", "D:\\" + So + "\\", "D:\\" + So + "\\"},
           {"D:\\A" + So, "D:\\", "D:\\A" + So}});
    Check("ExtractFileName", ExtractFileName,
          {{"C:\\TEMP\\Project1.lzh", "Project1.lzh", "Project1.lzh"},
           {"Project1.lzh", "Project1.lzh", "Project1.lzh"},
           {"C:\\A" + So, "A" + So, ""}});
}

TEST(PathRules, ChangeFileExt) {
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\SETUP.EXE", "D:\\SETUP.ini"},
        {"D:\\INSTALL.EXE", "D:\\INSTALL.ini"},
        {"D:\\SETUP", "D:\\SETUP.ini"},
        {"D:\\disk.1\\SETUP", "D:\\disk.1\\SETUP.ini"},
        {"D:\\a.b.EXE", "D:\\a.b.ini"}};
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(ChangeFileExt(input, ".ini"), expected) << input;
    EXPECT_EQ(ChangeFileExt("C:\\T\\P1.lzh", ".001"), "C:\\T\\P1.001");
}

TEST(PathRules, CharactersCountDoubleBytesAsOne) {
    EXPECT_EQ(CharCount("ab" + So), Dbcs() ? 3u : 4u);
    EXPECT_EQ(LastChar("ab" + So), Dbcs() ? So : std::string("\\"));
    EXPECT_EQ(LastChar(""), "");
}

} // namespace
