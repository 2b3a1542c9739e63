// The framework's text rules, INI and registry access, and its exceptions' texts.
#include "Errors.h"
#include "Files.h"
#include "Forms.h"
#include "IniFiles.h"
#include "Registry.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(Framework, StrToIntDefReadsDecimalAndHexForms) {
    const std::pair<std::string, int32_t> cases[] = {{"2", 2},           {"0x2", 2},
                                                     {"0X1f", 31},       {"$2", 2},
                                                     {"$ff", 255},       {"-5", -5},
                                                     {"+7", 7},          {"two", -9},
                                                     {"", -9},           {"$", -9},
                                                     {"0x", -9},         {"2x", -9},
                                                     {"$FFFFFFFF", -1},  {"2147483647", 2147483647},
                                                     {"2147483648", -9}, {"-2147483648", INT32_MIN},
                                                     {"$100000000", -9}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(StrToIntDef(text, -9), expected) << text;
}

TEST(Framework, ErrorDisplayAppendsAFullStopAfterCharactersThatSortAfterIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"Can't load UNLHA32.DLL file", "Can't load UNLHA32.DLL file."},
        {"Done.", "Done."},
        {"(see above)", "(see above)"},
        {"a-", "a-"},
        {"a/", "a/."},
        {"", ""},
        {"\x83\x74\x83\x40\x83\x43\x83\x8B", "\x83\x74\x83\x40\x83\x43\x83\x8B."}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ErrorDisplayText(text), expected) << text;
}

TEST(Framework, IniFileReadsValuesAndDefaults) {
    const std::string folder = testbed::FreshFolder("framework-ini");
    testbed::WriteFile(folder + "setup.ini",
                       "[Setup]\r\nProjectName=Project1\r\nDiskNumber=$2\r\nHex=0x10\r\n"
                       "Bad=two\r\n");
    const TIniFile ini(folder + "setup.ini");
    EXPECT_EQ(ini.ReadString("Setup", "ProjectName", ""), "Project1");
    EXPECT_EQ(ini.ReadString("Setup", "GameTitle", "none"), "none");
    EXPECT_EQ(ini.ReadInteger("Setup", "DiskNumber", 0), 2);
    EXPECT_EQ(ini.ReadInteger("Setup", "Hex", 0), 16);
    EXPECT_EQ(ini.ReadInteger("Setup", "Bad", 0), 0);
    EXPECT_EQ(TIniFile(folder + "missing.ini").ReadString("Setup", "ProjectName", ""), "");
    const std::string longValue(3000, 'x');
    testbed::WriteFile(folder + "long.ini", "[Setup]\r\nGameTitle=" + longValue + "\r\n");
    EXPECT_EQ(TIniFile(folder + "long.ini").ReadString("Setup", "GameTitle", "").size(), 2047u);
}

TEST(Framework, RegistryReadsStringsAndRejectsOtherTypes) {
    const std::string key = "Software\\LumTest\\Framework";
    HKEY created;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr),
              0);
    const DWORD number = 5;
    RegSetValueExA(created, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    RegSetValueExA(created, "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%TEMP%\\x"),
                   9);
    RegCloseKey(created);

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(key, false));
    registry.WriteString("Text", "value");
    EXPECT_EQ(registry.ReadString("Text"), "value");
    EXPECT_EQ(registry.ReadString("Expand"), "%TEMP%\\x"); // not expanded
    EXPECT_EQ(registry.ReadString("Missing"), "");
    EXPECT_EQ(registry.ReadInteger("Number"), 5);
    EXPECT_THROW(registry.ReadString("Number"), ERegistryException);
    registry.CloseKey();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\LumTest");

    TRegistry readOnly(KEY_READ);
    readOnly.RootKey = HKEY_LOCAL_MACHINE;
    ASSERT_TRUE(readOnly.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion", false));
    try {
        readOnly.WriteString("LumTest", "x");
        FAIL() << "a read-only key took a value";
    } catch (const ERegistryException& error) {
        EXPECT_EQ(
            std::string(error.what()),
            "'LumTest' "
            "\x82\xCC\x90\xDD\x92\xE8\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD");
    }
}

TEST(Framework, ExceptionTextsComeFromTheStringTable) {
    EXPECT_EQ(std::string(EFOpenError("C:\\x.001").what()),
              "\x83\x74\x83\x40\x83\x43\x83\x8B C:\\x.001 "
              "\x82\xCD\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1");
    // The second byte of ソ is a backslash that the resource compiler must keep.
    EXPECT_EQ(std::string(EResNotFound("ZEVIZOREZU").what()),
              "ZEVIZOREZU \x83\x8A\x83\x5C\x81\x5B\x83\x58\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8"
              "\x82\xDC\x82\xB9\x82\xF1");
    // A code without a system text is shown as the fallback with eight hex digits.
    EXPECT_EQ(std::string(EOleSysError(static_cast<HRESULT>(0xA0041234)).what()),
              "OLE Error a0041234");
}

} // namespace
