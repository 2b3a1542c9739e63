// Tests of the command syntax shared by the DLL and the command.
#include "CommandLine.h"

#include <gtest/gtest.h>

namespace lha::test {
namespace {

TEST(CommandLine, SplitsWithQuotesAndPlainBackslashes) {
    const struct {
        const char* line;
        std::vector<std::string> arguments;
    } cases[] = {
        {R"(x -+ "C:\Game Disk\DATA.LZH" "C:\Games\My Game\")",
         {"x", "-+", R"(C:\Game Disk\DATA.LZH)", R"(C:\Games\My Game\)"}},
        {"  t   a.lzh  ", {"t", "a.lzh"}},
        {"x a\"b c\"d out", {"x", "ab cd", "out"}},
        {"x \"\" out", {"x", "", "out"}},
        {"l\ta.lzh\r\n", {"l", "a.lzh"}},
        {"", {}},
        // A trail byte 0x5C before the closing quote is just a byte.
        {"x a.lzh \"C:\\\x83\x5C\"", {"x", "a.lzh", "C:\\\x83\x5C"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitCommandLine(c.line), c.arguments) << c.line;
}

TEST(CommandLine, ParsesCommandsAndSwitches) {
    const struct {
        const char* line;
        Status status;
        Action action;
        bool quiet;
        const char* archive;
        const char* destination;
    } cases[] = {
        {R"(x -+ "a.lzh" "C:\Games\")", Status::Ok, Action::Extract, false, "a.lzh",
         R"(C:\Games\)"},
        {"X a.lzh out", Status::Ok, Action::Extract, false, "a.lzh", "out"},
        {"e -q a.lzh out", Status::Ok, Action::ExtractFlat, true, "a.lzh", "out"},
        {"x a.lzh", Status::Ok, Action::Extract, false, "a.lzh", "."},
        {"t a.lzh", Status::Ok, Action::Test, false, "a.lzh", "."},
        {"l -+ -q a.lzh", Status::Ok, Action::List, true, "a.lzh", "."},
        {"x -+ a.lzh -dir", Status::Ok, Action::Extract, false, "a.lzh", "-dir"},
        {"t -q -- -a.lzh", Status::Ok, Action::Test, true, "-a.lzh", "."},
        {"x -- -a.lzh --", Status::Ok, Action::Extract, false, "-a.lzh", "--"},
        {"x -- -q", Status::Ok, Action::Extract, false, "-q", "."},
        {"", Status::BadCommand, Action::Extract, false, "", ""},
        {"a a.lzh", Status::BadCommand, Action::Extract, false, "", ""},
        {"xx a.lzh", Status::BadCommand, Action::Extract, false, "", ""},
        {"x -z a.lzh out", Status::BadCommand, Action::Extract, false, "", ""},
        {"x -+", Status::BadCommand, Action::Extract, false, "", ""},
        {"x \"\" out", Status::BadCommand, Action::Extract, false, "", ""},
        {"t a.lzh out", Status::BadCommand, Action::Extract, false, "", ""},
        {"x a.lzh out extra", Status::BadCommand, Action::Extract, false, "", ""},
    };
    for (const auto& c : cases) {
        Command command;
        std::string error;
        ASSERT_EQ(parseCommand(splitCommandLine(c.line), command, error), c.status) << c.line;
        if (c.status != Status::Ok) {
            EXPECT_FALSE(error.empty()) << c.line;
            continue;
        }
        EXPECT_EQ(command.job.action, c.action) << c.line;
        EXPECT_EQ(command.quiet, c.quiet) << c.line;
        EXPECT_EQ(command.job.archive, c.archive) << c.line;
        EXPECT_EQ(command.job.destination, c.destination) << c.line;
    }
}

} // namespace
} // namespace lha::test
