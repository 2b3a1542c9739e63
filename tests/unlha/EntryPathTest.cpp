// Tests of how stored paths are split and which ones are refused.
#include "EntryPath.h"

#include <gtest/gtest.h>

namespace lha::test {
namespace {

struct PathCase {
    std::string directory; // extended header 0x02, 0xFF-separated
    std::string name;
    std::string parts; // expected parts joined by '|', or "REFUSED"
};

std::string split(const PathCase& c) {
    Entry entry;
    entry.directory = c.directory;
    entry.name = c.name;
    EntryPath path;
    const char* why = nullptr;
    if (splitEntryPath(entry, path, why) != Status::Ok) return "REFUSED";
    std::string joined;
    for (const std::string& part : path.parts)
        joined += (joined.empty() ? "" : "|") + part;
    return (path.rooted ? "<root>|" : "") + joined + (path.isFolder ? "|<folder>" : "");
}

TEST(EntryPath, SplitsStoredPaths) {
    const PathCase cases[] = {
        {"", "file.txt", "file.txt"},
        {"", "dir\\sub\\file.txt", "dir|sub|file.txt"},
        {"", "dir/sub/file.txt", "dir|sub|file.txt"},
        {"dir\xFFsub\xFF", "file.txt", "dir|sub|file.txt"},
        {"dir\xFFsub", "file.txt", "dir|sub|file.txt"}, // no trailing 0xFF
        {"\xFF"
         "dir\xFF",
         "file.txt", "dir|file.txt"}, // leading 0xFF
        {"dir\\sub\\", "file.txt", "dir|sub|file.txt"},
        {"", "dir\\\\.\\file", "dir|file"}, // empty and "." parts
        {"", "dir\\", "dir|<folder>"},
        {"dir\xFF", "", "dir|<folder>"},
        // Code page 932: 0x5C as trail byte stays inside the name.
        {"", "\x83\x5C\x83\x74\x83\x67\\\x95\x5C.txt", "\x83\x5C\x83\x74\x83\x67|\x95\x5C.txt"},
        {"\x83\x5C\xFF", "\x95\x5C", "\x83\x5C|\x95\x5C"},
        {"", "\x83/x", "\x83|x"},          // '/' is never a trail byte
        {"", "caf\xE9", "caf\xE9"},        // a lead byte at the end
        {"", "\x83\\..\\x", "\x83\\..|x"}, // 0x5C pairs: no ".." part
        {"", "CONSOLE.txt", "CONSOLE.txt"},
        {"", "COM10", "COM10"},
        {"", "file.", "file."},
        {"", "..file", "..file"},
        // Stored from the root: taken as relative.
        {"", "\\subdir\\subdir2\\hello.txt", "<root>|subdir|subdir2|hello.txt"},
        {"", "/etc/passwd", "<root>|etc|passwd"},
        {"/abs\xFF", "file", "<root>|abs|file"},
        {"\\abs\xFF", "file", "<root>|abs|file"},
    };
    for (const PathCase& c : cases)
        EXPECT_EQ(split(c), c.parts) << "folder '" << c.directory << "' name '" << c.name << "'";
}

TEST(EntryPath, RefusesWhatLeavesTheFolder) {
    const PathCase cases[] = {
        {"", "\\\\server\\share\\file", ""},
        {"", "//server/share/file", ""},
        {"", "\\\\?\\C:\\file", ""},
        {"", "\\\\.\\PhysicalDrive0", ""},
        {"", "\\C:\\file", ""},
        {"", "\\..\\file", ""},
        {"", "/CON", ""},
        {"", "C:\\autoexec.bat", ""},
        {"", "C:autoexec.bat", ""},
        {"", "file.txt:stream", ""},
        {"", "..\\file", ""},
        {"", "dir\\..\\..\\file", ""},
        {"", "dir/../file", ""},
        {"..\xFF", "file", ""},
        {"dir\xFF..\xFF", "file", ""},
        {"", "...", ""},
        {"", ". .", ""},
        {"", ".. ", ""},
        {"", "CON", ""},
        {"", "con.txt", ""},
        {"", "NUL", ""},
        {"", "aux.c", ""},
        {"", "PRN.log.txt", ""},
        {"", "COM1", ""},
        {"", "lpt9.dat", ""},
        {"", "CON .txt", ""},
        {"", "CONOUT$", ""},
        {"dir\xFFNUL\xFF", "file", ""},
        {"", "esc\x1B[31mape", ""},
        {"", std::string("nul\0byte", 8), ""},
    };
    for (const PathCase& c : cases)
        EXPECT_EQ(split(c), "REFUSED") << "folder '" << c.directory << "' name '" << c.name << "'";
}

TEST(EntryPath, SymbolicLinksAreRecognised) {
    Entry link;
    link.method = "-lhd-";
    link.name = "link|target";
    EXPECT_TRUE(isSymbolicLink(link));
    Entry byMode;
    byMode.method = "-lh0-";
    byMode.name = "link";
    byMode.unixMode = 0120777;
    EXPECT_TRUE(isSymbolicLink(byMode));
    Entry folder;
    folder.method = "-lhd-";
    folder.name = "A\x81|B"; // 0x7C as a trail byte
    EXPECT_FALSE(isSymbolicLink(folder));
}

TEST(EntryPath, PrintableShowsControlBytesEscaped) {
    Entry entry;
    entry.directory = "dir\xFF";
    entry.name = "a\x1B[2Jb";
    EXPECT_EQ(printablePath(entry), "dir/a\\x1B[2Jb");
}

} // namespace
} // namespace lha::test
