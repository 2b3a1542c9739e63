// Splitting the uninstaller's command line.
#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, SplitsAsTheSystemsListStartsIt) {
    using Arguments = std::vector<std::string>;
    const struct {
        std::string line;
        Arguments arguments;
    } cases[] = {
        {"", {}},
        {" \t ", {}},
        {"zevizorezu.exe", {"zevizorezu.exe"}},
        {"C:\\WINDOWS\\zevizorezu.exe \"C:\\Games\\My Game\\LUM_RT.ind\"",
         {"C:\\WINDOWS\\zevizorezu.exe", "C:\\Games\\My Game\\LUM_RT.ind"}},
        {"\"C:\\Program Files\\z.exe\" C:\\Games\\LUM_RT.ind extra",
         {"C:\\Program Files\\z.exe", "C:\\Games\\LUM_RT.ind", "extra"}},
        {"z.exe\t\r\n\x01"
         "a  b",
         {"z.exe", "a", "b"}},
        {"z.exe a\"b c\"d", {"z.exe", "ab cd"}},
        {"z.exe \"C:\\My Game\\LUM_RT.ind", {"z.exe", "C:\\My Game\\LUM_RT.ind"}},
        {"z.exe \"\" b", {"z.exe", "", "b"}},
        // Double-byte characters stay whole: the full-width blank (0x81 0x40) separates nothing,
        // and the katakana so (0x83 0x5C) keeps its second byte.
        {"z.exe C:\\\x83\x5C\\\x81\x40x.ind", {"z.exe", "C:\\\x83\x5C\\\x81\x40x.ind"}},
    };
    for (const auto& [line, arguments] : cases)
        EXPECT_EQ(SplitCommandLine(line), arguments) << "command line: " << line;
}

} // namespace
