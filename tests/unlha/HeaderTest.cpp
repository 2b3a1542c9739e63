// Tests of the header reader: every level's fields, robustness rules, junk before the first
// header, and archives truncated or corrupted at every byte.
#include "ArchiveBuilder.h"
#include "ArchiveReader.h"
#include "InMemoryJob.h"

#include <gtest/gtest.h>

namespace lha::test {
namespace {

struct Read {
    Status status = Status::Ok;
    std::vector<Entry> entries;
    std::string problem;
};

Read readAll(const std::string& bytes) {
    MemoryInput input(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ArchiveReader reader(input);
    Read result;
    for (;;) {
        Entry entry;
        bool end = false;
        result.status = reader.next(entry, end);
        if (result.status != Status::Ok) result.problem = reader.problem();
        if (result.status != Status::Ok || end) return result;
        result.entries.push_back(entry);
    }
}

TEST(Header, EveryLevelGivesTheSameEntry) {
    for (const int level : {0, 1, 2, 3}) {
        TestEntry e = storedEntry(level == 0 ? "dir\\file.txt" : "file.txt", "hello", level);
        if (level > 0) e.directory = "dir\xFF";
        e.os = 'U';
        e.unixMode = 0100644;
        e.time = level < 2 ? 0x5A6B7C8D : 1700000000;
        const Read read = readAll(archive({e}));
        ASSERT_EQ(read.status, Status::Ok) << "level " << level;
        ASSERT_EQ(read.entries.size(), 1u) << "level " << level;
        const Entry& entry = read.entries[0];
        EXPECT_EQ(entry.level, level);
        EXPECT_EQ(entry.method, "-lh0-");
        EXPECT_EQ(entry.packedSize, 5u) << "level " << level;
        EXPECT_EQ(entry.originalSize, 5u) << "level " << level;
        EXPECT_EQ(entry.crc, crcOf("hello")) << "level " << level;
        EXPECT_EQ(entry.directory + entry.name, level == 0 ? "dir\\file.txt"
                                                           : "dir\xFF"
                                                             "file.txt");
        EXPECT_EQ(entry.unixMode, 0100644) << "level " << level;
        // Level 0 keeps the Unix time of its Unix area; it wins over the DOS stamp.
        EXPECT_EQ(entry.modified.kind, level == 1 ? Timestamp::Kind::Dos : Timestamp::Kind::Unix)
            << "level " << level;
        EXPECT_EQ(entry.modified.value, e.time) << "level " << level;
    }
}

TEST(Header, ExtendedHeadersOverrideBaseFields) {
    TestEntry e = storedEntry("f", "data", 1);
    std::string times(24, '\0');
    times[8 + 7] = 0x01; // last write: 2^56 ticks
    e.extended = {{0x54, std::string("\x10\x00\x00\x00", 4)},
                  {0x41, times},
                  {0x40, std::string("\x21\x00", 2)},
                  {0x3F, "a comment"},
                  {0x99, "unknown"}};
    const Read read = readAll(archive({e}));
    ASSERT_EQ(read.status, Status::Ok);
    EXPECT_EQ(read.entries[0].modified.kind, Timestamp::Kind::Windows);
    EXPECT_EQ(read.entries[0].modified.value, std::uint64_t{1} << 56);
    EXPECT_EQ(read.entries[0].attributes, 0x21);
    EXPECT_EQ(read.entries[0].packedSize, 4u);
}

TEST(Header, LevelTwoPaddingAndShortTotalSize) {
    TestEntry padded = storedEntry("padded", "1234", 2);
    padded.padding = 1;
    TestEntry noCrc = storedEntry("short", "5678", 2);
    noCrc.headerCrc = false;
    std::string truncatedTotal = header(noCrc);
    truncatedTotal[0] = 26; // smaller than the chain: the chain's end counts
    const std::string bytes = archive({padded}, false) + truncatedTotal + "5678" + '\0';
    const Read read = readAll(bytes);
    ASSERT_EQ(read.status, Status::Ok);
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[1].name, "short");
    EXPECT_EQ(read.entries[1].dataOffset, bytes.size() - 5);
}

TEST(Header, NameStopsAtNul) {
    // Amiga writers put "name NUL comment" into the name field.
    for (const int level : {0, 1, 2}) {
        const Read read = readAll(archive({storedEntry(std::string("name\0comment", 12), "", level)}));
        ASSERT_EQ(read.status, Status::Ok) << level;
        EXPECT_EQ(read.entries[0].name, "name") << level;
    }
}

TEST(Header, ExtendedHeaderTooSmallForItsOwnFields) {
    // A level-2 chain element of 1 or 2 bytes cannot hold its type and the next size.
    for (const char size : {1, 2}) {
        std::string bytes = archive({storedEntry("a", "x", 2)});
        bytes[kLevel2FixedPart - 2] = size;
        bytes[kLevel2FixedPart - 1] = 0;
        const Read read = readAll(bytes);
        EXPECT_EQ(read.status, Status::BrokenData) << int{size};
        EXPECT_EQ(read.problem, "bad extended header size") << int{size};
    }
}

TEST(Header, JunkBeforeTheFirstHeaderIsSkipped) {
    // A fake header that does not hold up, as a self-extractor's code may contain.
    std::string junk = "MZ" + std::string(3000, '\x90');
    junk.replace(100, 5, "-lh5-");
    junk.replace(2000, 22,
                 std::string("\x20\x00-lh0-\x01\x00\x00\x00", 11) + std::string(11, '\0'));
    const std::string bytes = junk + archive({storedEntry("a", "x", 0), storedEntry("b", "y", 2)});
    const Read read = readAll(bytes);
    ASSERT_EQ(read.status, Status::Ok);
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[0].headerOffset, junk.size());
}

TEST(Header, WhatIsNotAnArchive) {
    const struct {
        const char* what;
        std::string bytes;
        Status expected;
        std::size_t entries;
    } cases[] = {
        {"empty file", "", Status::NotArchive, 0},
        {"end marker only", std::string(1, '\0'), Status::Ok, 0},
        {"text", "just some text, nothing else at all, not even close", Status::NotArchive, 0},
        {"zeros", std::string(100, '\0'), Status::NotArchive, 0},
        {"no end marker", archive({storedEntry("a", "x")}, false), Status::Ok, 1},
        {"bytes after the end marker", archive({storedEntry("a", "x")}) + "trailer", Status::Ok, 1},
    };
    for (const auto& c : cases) {
        const Read read = readAll(c.bytes);
        EXPECT_EQ(read.status, c.expected) << c.what;
        EXPECT_EQ(read.entries.size(), c.entries) << c.what;
    }
}

TEST(Header, DamagedHeadersAreBroken) {
    for (const int level : {0, 1, 2, 3}) {
        const std::string good =
            archive({storedEntry("first", "1", level), storedEntry("second", "2", level)});
        const std::size_t first = header(storedEntry("first", "1", level)).size();
        const std::size_t second = first + 1;
        // A byte of an entry's name: 22 bytes into a level-0/1 header, at the end of the chain
        // in the others. Every level has a checksum or CRC over it. A damaged first header is
        // not skipped like junk in front of the archive.
        for (const auto& [at, entries] :
             {std::pair{level <= 1 ? 22 : first - 4, 0u},
              std::pair{level <= 1 ? second + 22 : good.size() - 4, 1u}}) {
            std::string bad = good;
            bad[at] ^= 0x01;
            const Read read = readAll(bad);
            EXPECT_EQ(read.status, Status::BrokenData) << "level " << level << " byte " << at;
            EXPECT_EQ(read.entries.size(), entries) << "level " << level << " byte " << at;
        }
    }
}

// Every entry of the result is one of `expected`, whole and in order.
void expectPrefixOf(const Outcome& outcome, const std::map<std::string, std::string>& expected,
                    const std::string& what) {
    for (const auto& [path, data] : outcome.fileSystem.files) {
        const auto found = expected.find(path);
        ASSERT_NE(found, expected.end()) << what << ": unexpected " << path;
        EXPECT_TRUE(found->second == data) << what << ": wrong data in " << path;
    }
}

std::string mixedArchive() {
    return archive({packedEntry("-lh1-", "one.txt", std::string(300, 'a') + "bcdefabcdef", 0),
                    packedEntry("-lz5-", "two.txt", "lz5 data lz5 data lz5 data", 1),
                    packedEntry("-lzs-", "three.txt", "lzs lzs lzs lzs lzs lzs", 2),
                    packedEntry("-lh0-", "four.txt", "stored", 3)});
}

const std::map<std::string, std::string> kMixedFiles = {
    {"out/one.txt", std::string(300, 'a') + "bcdefabcdef"},
    {"out/two.txt", "lz5 data lz5 data lz5 data"},
    {"out/three.txt", "lzs lzs lzs lzs lzs lzs"},
    {"out/four.txt", "stored"}};

TEST(Archive, TruncatedAtEveryByte) {
    const std::string full = mixedArchive();
    ASSERT_EQ(runInMemory(full).status, Status::Ok);
    for (std::size_t size = 0; size < full.size(); ++size) {
        const Outcome outcome = runInMemory(full.substr(0, size));
        const std::string what = "cut at " + std::to_string(size);
        // A cut right after an entry is an archive without end marker: fine, and shorter
        // unless only the end marker went.
        if (outcome.status == Status::Ok) {
            EXPECT_EQ(outcome.fileSystem.files.size() == 4, size == full.size() - 1) << what;
        } else {
            EXPECT_TRUE(outcome.status == Status::BrokenData ||
                        outcome.status == Status::NotArchive)
                << what;
        }
        expectPrefixOf(outcome, kMixedFiles, what);
    }
}

TEST(Archive, CorruptedAtEveryByte) {
    const std::string full = mixedArchive();
    for (std::size_t at = 0; at + 1 < full.size(); ++at) {
        for (const std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::string bad = full;
            bad[at] = static_cast<char>(bad[at] ^ flip);
            const Outcome outcome = runInMemory(bad);
            // Checksums and CRCs guard everything that decides what is written: whatever the
            // status, no file differs from the original.
            expectPrefixOf(outcome, kMixedFiles,
                           "byte " + std::to_string(at) + " ^ " + std::to_string(flip));
        }
    }
}

} // namespace
} // namespace lha::test
