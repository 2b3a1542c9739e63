// Tests of what a job creates, refuses and reports, on an in-memory file system.
#include "ArchiveBuilder.h"
#include "InMemoryJob.h"
#include "SampleData.h"

#include <gtest/gtest.h>

namespace lha::test {
namespace {

TestEntry folderEntry(const std::string& name, int level = 2) {
    TestEntry e = storedEntry(name, "", level);
    e.method = "-lhd-";
    return e;
}

TestEntry inFolder(const std::string& directory, const std::string& name, const std::string& data) {
    TestEntry e = packedEntry("-lz5-", name, data, 2);
    e.directory = directory;
    return e;
}

std::string tree() {
    return archive({folderEntry("empty-dir\\", 0), inFolder("dir\xFFsub\xFF", "a.txt", "text a"),
                    storedEntry("root.txt", "root", 1), storedEntry("zero", "", 2)});
}

TEST(Job, ExtractsFilesIntoTheirFolders) {
    const Outcome outcome = runInMemory(tree());
    ASSERT_EQ(outcome.status, Status::Ok);
    const std::map<std::string, std::string> expected = {
        {"out/dir/sub/a.txt", "text a"}, {"out/root.txt", "root"}, {"out/zero", ""}};
    EXPECT_EQ(outcome.fileSystem.files, expected);
    const std::set<std::string> folders = {"out", "out/empty-dir", "out/dir", "out/dir/sub"};
    EXPECT_EQ(outcome.fileSystem.folders, folders);
    EXPECT_EQ(outcome.fileSystem.times.at("out/root.txt").kind, Timestamp::Kind::Dos);
    EXPECT_EQ(outcome.fileSystem.times.at("out/zero").kind, Timestamp::Kind::Unix);
    EXPECT_EQ(outcome.report.back(), "3 files, 1 folder, 10 bytes");
}

TEST(Job, ExtractFlatDropsFolders) {
    const Outcome outcome = runInMemory(tree(), Action::ExtractFlat);
    ASSERT_EQ(outcome.status, Status::Ok);
    const std::map<std::string, std::string> expected = {
        {"out/a.txt", "text a"}, {"out/root.txt", "root"}, {"out/zero", ""}};
    EXPECT_EQ(outcome.fileSystem.files, expected);
    EXPECT_EQ(outcome.fileSystem.folders, std::set<std::string>{"out"});
}

TEST(Job, TestAndListWriteNothing) {
    for (const Action action : {Action::Test, Action::List}) {
        const Outcome outcome = runInMemory(tree(), action);
        EXPECT_EQ(outcome.status, Status::Ok);
        EXPECT_TRUE(outcome.fileSystem.files.empty());
        EXPECT_TRUE(outcome.fileSystem.folders.empty());
    }
}

TEST(Job, ListShowsRatiosAndCountsFilesAndFoldersApart) {
    const std::string repeated(1000, 'a');
    const struct {
        std::string what;
        std::string archive;
        Action action;
        std::vector<std::string> lines; // each found in the report line of the same index
    } cases[] = {
        {"files and a folder",
         tree(),
         Action::List,
         {"    original       packed  ratio method crc date       time     name",
          "           0            0      - -lhd- 0000", "-lz5-",
          "           4            4 100.0% -lh0-", "           0            0      - -lh0-",
          "------------ ------------ ------", "          10"}},
        {"the totals",
         tree(),
         Action::List,
         {"", "", "", "", "", "", "                                3 files, 1 folder"}},
        {"packed",
         archive({packedEntry("-lz5-", "a", repeated, 2)}),
         Action::List,
         {"", "        1000", "------------", "        1000 "}},
        {"one file",
         archive({storedEntry("a", "x", 2)}),
         Action::List,
         {"", "", "", "           1            1 100.0%                                1 file"}},
        {"folders only",
         archive({folderEntry("a\\", 0), folderEntry("b\\", 0)}),
         Action::List,
         {"", "", "", "", "      -                                0 files, 2 folders"}},
        {"one file extracted",
         archive({storedEntry("a", "x", 2)}),
         Action::Extract,
         {"extracted", "1 file, 1 byte"}},
    };
    for (const auto& c : cases) {
        const Outcome outcome = runInMemory(c.archive, c.action);
        EXPECT_EQ(outcome.status, Status::Ok) << c.what;
        ASSERT_EQ(outcome.report.size(), c.lines.size()) << c.what;
        for (std::size_t i = 0; i < c.lines.size(); ++i)
            EXPECT_NE(outcome.report[i].find(c.lines[i]), std::string::npos)
                << c.what << ": " << outcome.report[i];
    }
}

TEST(Job, RefusedPathsAreReportedAndTheRestIsExtracted) {
    const std::string bytes =
        archive({storedEntry("first", "1", 0), storedEntry("..\\evil", "x", 0),
                 storedEntry("C:\\boot.ini", "x", 0), storedEntry("\\\\host\\x", "x", 1),
                 storedEntry("aux.txt", "x", 2), inFolder("..\xFF", "up", "x"),
                 storedEntry("last", "2", 2)});
    const Outcome outcome = runInMemory(bytes);
    EXPECT_EQ(outcome.status, Status::RefusedPath);
    const std::map<std::string, std::string> expected = {{"out/first", "1"}, {"out/last", "2"}};
    EXPECT_EQ(outcome.fileSystem.files, expected);
    ASSERT_EQ(outcome.errors.size(), 5u);
    EXPECT_EQ(outcome.errors[0], "..\\evil: refused: parent folder (..) in path");
    EXPECT_EQ(outcome.errors[3], "aux.txt: refused: device name");
    EXPECT_EQ(outcome.report.back(), "2 files, 2 bytes, 5 failed");
}

TEST(Job, AFirstVolumeSaysTheArchiveGoesOn) {
    const std::string whole = archive({packedEntry("-lz5-", "long.txt", text(20000, 9))});
    for (const std::string name : {"game.001", "game.lzh"}) {
        MemoryFileSystem fileSystem;
        fileSystem.archives[name] = whole.substr(0, whole.size() / 2);
        const Outcome outcome = runOn(fileSystem, {Action::Test, name, "out"});
        EXPECT_EQ(outcome.status, Status::BrokenData) << name;
        EXPECT_EQ(outcome.errors.back().find("the archive continues") != std::string::npos,
                  name == "game.001")
            << name;
    }
}

TEST(Job, PathsStoredFromTheRootGoUnderTheDestination) {
    const Outcome outcome = runInMemory(
        archive({storedEntry("\\sub\\hello.txt", "h", 0), storedEntry("/etc/passwd", "p", 1)}));
    EXPECT_EQ(outcome.status, Status::Ok);
    const std::map<std::string, std::string> expected = {{"out/sub/hello.txt", "h"},
                                                         {"out/etc/passwd", "p"}};
    EXPECT_EQ(outcome.fileSystem.files, expected);
    ASSERT_EQ(outcome.report.size(), 5u);
    EXPECT_EQ(outcome.report[0],
              "stored from the root, put under the destination  \\sub\\hello.txt");
}

// A MacBinary file: header, a data fork of `data`, padding, a resource fork of `resource`.
std::string macBinary(const std::string& data, const std::string& resource, bool padLast) {
    std::string h(128, '\0');
    h[1] = 8;
    h.replace(2, 8, "gpl-2.gz");
    const auto putLength = [&h](std::size_t at, std::size_t length) {
        for (int i = 0; i < 4; ++i)
            h[at + i] = static_cast<char>(length >> (24 - 8 * i));
    };
    putLength(83, data.size());
    putLength(87, resource.size());
    const auto pad = [](std::string fork) { return fork + std::string(-fork.size() % 128, '\0'); };
    return h + (resource.empty() && !padLast ? data : pad(data)) +
           (padLast ? pad(resource) : resource);
}

TEST(Job, MacBinaryWrapperIsDroppedWhenValid) {
    const std::string data = text(300, 4);
    std::string badName = macBinary(data, "", true);
    badName[1] = 64;
    std::string badFiller = macBinary(data, "", true);
    badFiller[74] = 1;
    const struct {
        std::string what;
        std::string stored;
        std::uint8_t os;
        std::string written;
    } cases[] = {
        {"data fork, padded", macBinary(data, "", true), 'm', data},
        {"data fork, not padded", macBinary(data, "", false), 'm', data},
        {"both forks", macBinary(data, "resource", false), 'm', data},
        {"both forks, padded", macBinary(data, "resource", true), 'm', data},
        {"not from a Macintosh", macBinary(data, "", true), 'M', macBinary(data, "", true)},
        {"name too long", badName, 'm', badName},
        {"filler byte set", badFiller, 'm', badFiller},
        {"forks longer than the file", macBinary(data, "", true).substr(0, 400), 'm',
         macBinary(data, "", true).substr(0, 400)},
        {"too short for a header", std::string(100, '\0'), 'm', std::string(100, '\0')},
    };
    for (const auto& c : cases) {
        TestEntry entry = packedEntry("-lz5-", "gpl-2.gz", c.stored, 2);
        entry.os = c.os;
        Outcome outcome = runInMemory(archive({entry}));
        EXPECT_EQ(outcome.status, Status::Ok) << c.what;
        EXPECT_TRUE(outcome.fileSystem.files["out/gpl-2.gz"] == c.written) << c.what;
    }
}

TEST(Job, SymbolicLinksAreNeverCreated) {
    TestEntry link = folderEntry("link|/etc", 2);
    link.unixMode = 0120777;
    link.os = 'U';
    const Outcome outcome = runInMemory(archive({link, inFolder("link\xFF", "passwd", "mine")}));
    EXPECT_EQ(outcome.status, Status::Ok);
    EXPECT_EQ(outcome.fileSystem.files.count("out/link/passwd"), 1u);
    EXPECT_EQ(outcome.fileSystem.folders.count("out/link"), 1u);
}

TEST(Job, ABrokenEntryLeavesTheOldFileAndNoPartialFile) {
    TestEntry bad = storedEntry("keep.txt", "new data", 2);
    bad.crc ^= 1;
    MemoryFileSystem fileSystem;
    fileSystem.files["out/keep.txt"] = "old data";
    fileSystem.archives["archive.lzh"] = archive({bad, storedEntry("next.txt", "n")});
    const Outcome outcome = runOn(fileSystem, {Action::Extract, "archive.lzh", "out"});
    EXPECT_EQ(outcome.status, Status::BrokenData);
    const std::map<std::string, std::string> expected = {{"out/keep.txt", "old data"},
                                                         {"out/next.txt", "n"}};
    EXPECT_EQ(outcome.fileSystem.files, expected);
    EXPECT_EQ(outcome.errors, std::vector<std::string>{"keep.txt: CRC mismatch"});
}

TEST(Job, AUsersFileOfTheTemporaryNameSurvives) {
    TestEntry bad = storedEntry("keep.txt", "bad data", 2);
    bad.crc ^= 1;
    const struct {
        std::string what;
        TestEntry entry;
        std::string kept; // in out/keep.txt afterwards
    } cases[] = {
        {"a whole entry", storedEntry("keep.txt", "new data", 2), "new data"},
        {"a broken entry", bad, "old data"},
    };
    for (const auto& c : cases) {
        MemoryFileSystem fileSystem;
        fileSystem.files["out/keep.txt"] = "old data";
        fileSystem.files["out/keep.txt.unlha-part"] = "mine";
        fileSystem.files["out/keep.txt.unlha-part2"] = "mine too";
        fileSystem.archives["archive.lzh"] = archive({c.entry});
        const Outcome outcome = runOn(fileSystem, {Action::Extract, "archive.lzh", "out"});
        const std::map<std::string, std::string> expected = {
            {"out/keep.txt", c.kept},
            {"out/keep.txt.unlha-part", "mine"},
            {"out/keep.txt.unlha-part2", "mine too"}};
        EXPECT_EQ(outcome.fileSystem.files, expected) << c.what;
    }
}

TEST(Job, EachKindOfFailureGivesItsStatus) {
    TestEntry badCrc = storedEntry("bad", "data", 2);
    badCrc.crc ^= 1;
    TestEntry unknown = storedEntry("packed", "data", 2);
    unknown.method = "-pm2-";
    const struct {
        const char* what;
        std::string archive;
        std::string failingName;
        Status status;
        std::size_t files;
    } cases[] = {
        {"CRC mismatch", archive({badCrc, storedEntry("ok", "1")}), "", Status::BrokenData, 1},
        {"unknown method", archive({unknown, storedEntry("ok", "1")}), "", Status::Unsupported, 1},
        {"cannot write", archive({storedEntry("fails", "1"), storedEntry("ok", "1")}), "fails",
         Status::WriteFailed, 1},
        {"file where a folder goes", archive({storedEntry("a", "1"), inFolder("a\xFF", "b", "2")}),
         "", Status::WriteFailed, 1},
        {"first failure wins", archive({storedEntry("..\\x", "1"), badCrc}), "",
         Status::RefusedPath, 0},
        {"not an archive", "plain text, no archive", "", Status::NotArchive, 0},
    };
    for (const auto& c : cases) {
        MemoryFileSystem fileSystem;
        fileSystem.failingName = c.failingName;
        fileSystem.archives["archive.lzh"] = c.archive;
        const Outcome outcome = runOn(fileSystem, {Action::Extract, "archive.lzh", "out"});
        EXPECT_EQ(outcome.status, c.status) << c.what;
        EXPECT_EQ(outcome.fileSystem.files.size(), c.files) << c.what;
        EXPECT_FALSE(outcome.errors.empty()) << c.what;
    }
}

TEST(Job, CancelStopsBeforeTheNextEntry) {
    const Outcome outcome = runInMemory(tree(), Action::Extract, 2);
    EXPECT_EQ(outcome.status, Status::Cancelled);
    EXPECT_EQ(outcome.fileSystem.files.size(), 1u);
    EXPECT_EQ(outcome.errors.back(), "cancelled by the user");
}

TEST(Job, MissingArchiveCannotBeRead) {
    EXPECT_EQ(runOn({}, {Action::Test, "missing.lzh", ""}).status, Status::ReadFailed);
}

} // namespace
} // namespace lha::test
