// Interoperability with the peer tools, through the real `unlha` command: archives made by
// jlha at test time (every method and header level it makes), cross-checked with lhasa and
// 7zz; hand-made archives of what jlha cannot make, cross-checked with lhasa; exit codes and
// error lines of the command.
#include "ArchiveBuilder.h"
#include "PosixFileSystem.h"
#include "TestEncoders.h"

#include "HostFiles.h"
#include "SampleData.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <sys/stat.h>

namespace lha::test {
namespace {

namespace fs = std::filesystem;
Tree asciiOnly(const Tree& tree) {
    Tree kept;
    for (const auto& [path, contents] : tree)
        if (std::all_of(path.begin(), path.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            kept[path] = contents;
    return kept;
}

struct Result {
    int exitCode = 0;
    std::string out;
    std::string err;
};

class InteropTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() / ("unlha-interop-" + std::to_string(std::random_device{}()));
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    // Runs a shell command in `folder`, capturing its output.
    Result shell(const std::string& command, const fs::path& folder) {
        const fs::path out = root_ / "stdout", err = root_ / "stderr";
        const std::string line =
            "cd " + quote(folder) + " && " + command + " >" + quote(out) + " 2>" + quote(err);
        const int status = std::system(line.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
    }
    Result unlha(const std::string& arguments) {
        return shell(UNLHA_COMMAND " " + arguments, root_);
    }

    fs::path root_;
};

// The source tree, names in UTF-8 on disk (jlha stores them in code page 932).
const std::array<std::array<std::string, 2>, 9> kFiles = {{
    {"readme.txt", text(10000, 1)},
    {"data/big.bin", text(1200000, 2) + noise(300000, 3)},
    {"data/empty.dat", ""},
    {"data/deep/er/x.txt", "deep"},
    {"random.bin", noise(70000, 4)},
    {"window.txt", text(65537, 5)},
    {"\u30BD\u30D5\u30C8/\u8868.txt", "trail byte 0x5C"},
    {"\u65E5\u672C\u8A9E.txt", "nihongo"},
    {"emptydir/", ""},
}};

struct JlhaArchive {
    const char* method; // jlha option: z (-lh0-), o5, o6, o7
    int level;
};

void PrintTo(const JlhaArchive& archive, std::ostream* out) {
    *out << archive.method << " level " << archive.level;
}

class JlhaInterop : public InteropTest, public ::testing::WithParamInterface<JlhaArchive> {};

TEST_P(JlhaInterop, ExtractsByteForByteAsThePeersDo) {
    const auto [method, level] = GetParam();
    const fs::path source = root_ / "source";
    Tree expected;
    for (const auto& [onDisk, contents] : kFiles) {
        if (onDisk.back() == '/') {
            fs::create_directories(source / onDisk);
            continue;
        }
        writeFile(source / fs::u8path(onDisk), contents);
        expected[onDisk] = contents;
    }
    const auto sourceTime = fs::last_write_time(source / "readme.txt");
    const std::string archive = quote(root_ / "a.lzh");
    const std::string options = std::string("a") + method + std::to_string(level) + "q";
    ASSERT_EQ(shell("LC_ALL=ja_JP.UTF-8 jlha " + options + " " + archive + " *", source).exitCode,
              0);

    const Result ours = unlha("x -+ " + archive + " ours");
    ASSERT_EQ(ours.exitCode, 0) << ours.err;
    EXPECT_EQ(ours.err, "");
    EXPECT_TRUE(readTree(root_ / "ours", false) == expected) << "archive " << options;
    EXPECT_TRUE(fs::is_directory(root_ / "ours" / "emptydir"));
    // DOS stamps (levels 0 and 1) have two-second steps.
    const auto skew = fs::last_write_time(root_ / "ours" / "readme.txt") - sourceTime;
    EXPECT_LE(std::chrono::abs(skew), std::chrono::seconds(2)) << "archive " << options;
    EXPECT_EQ(unlha("t " + archive).exitCode, 0);

    // The peers split names at a trail byte 0x5C, so only ASCII names are compared with them.
    fs::create_directories(root_ / "lhasa");
    ASSERT_EQ(shell("lhasa xqw=" + quote(root_ / "lhasa") + " " + archive, root_).exitCode, 0);
    EXPECT_TRUE(asciiOnly(readTree(root_ / "lhasa", false)) == asciiOnly(expected))
        << "lhasa, archive " << options;
    ASSERT_EQ(shell("7zz x -y -o" + quote(root_ / "7zz") + " " + archive, root_).exitCode, 0);
    EXPECT_TRUE(asciiOnly(readTree(root_ / "7zz", false)) == asciiOnly(expected))
        << "7zz, archive " << options;
}

INSTANTIATE_TEST_SUITE_P(MethodsAndLevels, JlhaInterop,
                         ::testing::Values(JlhaArchive{"z", 0}, JlhaArchive{"z", 1},
                                           JlhaArchive{"z", 2}, JlhaArchive{"o5", 0},
                                           JlhaArchive{"o5", 1}, JlhaArchive{"o5", 2},
                                           JlhaArchive{"o6", 0}, JlhaArchive{"o6", 1},
                                           JlhaArchive{"o6", 2}, JlhaArchive{"o7", 0},
                                           JlhaArchive{"o7", 1}, JlhaArchive{"o7", 2}));

TEST(PosixNames, StoredBytesComeBackFromTheirUtf8Form) {
    const struct {
        std::string stored; // code page 932
        std::string name;   // on this system
    } cases[] = {
        {"plain.txt", "plain.txt"},
        {"\x83\x5C\x83\x74\x83\x67", "\u30BD\u30D5\u30C8"}, // trail byte 0x5C
        {"\xB6\xC5", "\uFF76\uFF85"},                       // half-width katakana
        {"bad\x80", "bad%80"},                              // no meaning in code page 932
        {"lead\x83", "lead%83"},                            // a lead byte at the end
        {"lead\x83!", "lead%83!"},                          // a lead byte without trail
        {"100%.txt", "100%.txt"},
        {"%80 literal", "%2580 literal"}, // a '%' that would read as an escape
        {"%25", "%2525"},
        {"%41", "%41"},
    };
    PosixFileSystem fileSystem;
    for (const auto& c : cases) {
        EXPECT_EQ(fileSystem.fromArchiveName(c.stored), c.name) << c.name;
        std::string stored;
        EXPECT_TRUE(fileSystem.toArchiveName(c.name, stored)) << c.name;
        EXPECT_EQ(stored, c.stored) << c.name;
    }
    // Text that only looks like an escape is taken as it is.
    std::string stored;
    ASSERT_TRUE(fileSystem.toArchiveName("%E3%83%9E.txt", stored));
    EXPECT_EQ(stored, "%E3%83%9E.txt");
}

// The lz5 ring as the format describes it, for matches that reach into it.
std::string lz5Ring() {
    std::string ring;
    for (int value = 0; value < 256; ++value)
        ring.append(13, static_cast<char>(value));
    for (int value = 0; value < 256; ++value)
        ring += static_cast<char>(value);
    for (int value = 255; value >= 0; --value)
        ring += static_cast<char>(value);
    ring.append(128, '\0');
    ring.append(110, ' ');
    ring.append(18, '\0');
    return ring;
}

TestEntry handMade(const std::string& method, const std::string& name, const std::string& packed,
                   const std::string& original, int level = 2) {
    TestEntry e;
    e.method = method;
    e.name = name;
    e.level = level;
    e.packed = packed;
    e.originalSize = original.size();
    e.crc = crcOf(original);
    return e;
}

// Eight lz5 matches into the preset ring: the 18 bytes at each position.
void lz5RingReferences(TestEntry& entry, std::string& expected) {
    const std::string ring = lz5Ring();
    std::string packed(1, '\0'); // flag byte: eight matches
    for (const std::uint32_t position : {4078u, 0u, 845u, 3328u, 3584u, 3840u, 3968u, 4060u}) {
        packed += static_cast<char>(position & 0xFF);
        packed += static_cast<char>(((position >> 4) & 0xF0) | 15);
        expected += ring.substr(position, 18);
    }
    entry = handMade("-lz5-", "ring.bin", packed, expected);
}

std::string singleSymbolBlocks() {
    BitWriter w;
    for (const auto& [commands, literal] : {std::pair{2u, 'A'}, std::pair{3u, 'B'}}) {
        w.put(commands, 16);
        w.put(0, 5), w.put(0, 5);
        w.put(0, 9), w.put(static_cast<std::uint32_t>(literal), 9);
        w.put(0, 4), w.put(0, 4);
    }
    return w.bytes();
}

TEST_F(InteropTest, HandMadeArchivesDecodeAsLhasaDecodesThem) {
    const std::string prose = text(30000, 7);
    TestEntry ring;
    std::string ringData;
    lz5RingReferences(ring, ringData);
    BitWriter spaces; // an lzs match into the ring's initial spaces, then a literal
    spaces.put(0, 1), spaces.put(0, 11), spaces.put(15, 4);
    spaces.put(1, 1), spaces.put('!', 8);
    TestEntry level3 = packedEntry("-lz5-", "three.txt", prose.substr(0, 5000), 3);
    level3.directory = "level3\xFF";

    // -lh4- is -lh5-'s format with a 4 KiB window: a jlha -lh5- stream of less than 4 KiB.
    writeFile(root_ / "small" / "small.txt", prose.substr(0, 4000));
    ASSERT_EQ(
        shell("jlha a2o5q " + quote(root_ / "small.lzh") + " small.txt", root_ / "small").exitCode,
        0);
    std::string lh4 = readFile(root_ / "small.lzh");
    lh4.replace(2, 5, "-lh4-"); // level 2 has no checksum; its header CRC is rewritten below
    const std::size_t headerSize =
        static_cast<std::uint8_t>(lh4[0]) | static_cast<std::uint8_t>(lh4[1]) << 8;
    std::string lh4Header = lh4.substr(0, headerSize);
    lh4Header[27] = lh4Header[28] = 0; // jlha writes the header CRC first in the chain
    const std::uint16_t crc = crcOf(lh4Header);
    lh4[27] = static_cast<char>(crc & 0xFF);
    lh4[28] = static_cast<char>(crc >> 8);

    const std::string bytes =
        archive({packedEntry("-lh1-", "lh1.txt", prose, 0),
                 packedEntry("-lh1-", "lh1-noise.bin", noise(9000, 8), 1),
                 packedEntry("-lzs-", "lzs.txt", prose, 1),
                 packedEntry("-lz5-", "lz5.txt", prose, 2), ring,
                 handMade("-lzs-", "spaces.txt", spaces.bytes(), std::string(17, ' ') + "!"),
                 handMade("-lh5-", "blocks.txt", singleSymbolBlocks(), "AABBB"),
                 packedEntry("-lz4-", "lz4.txt", "stored by lz4"), level3},
                false) +
        lh4;
    writeFile(root_ / "hand.lzh", bytes);
    const Tree expected = {{"lh1.txt", prose},
                           {"lh1-noise.bin", noise(9000, 8)},
                           {"lzs.txt", prose},
                           {"lz5.txt", prose},
                           {"ring.bin", ringData},
                           {"spaces.txt", std::string(17, ' ') + "!"},
                           {"blocks.txt", "AABBB"},
                           {"lz4.txt", "stored by lz4"},
                           {"level3/three.txt", prose.substr(0, 5000)},
                           {"small.txt", prose.substr(0, 4000)}};

    const Result ours = unlha("x -+ hand.lzh ours");
    EXPECT_EQ(ours.exitCode, 0) << ours.err;
    EXPECT_TRUE(readTree(root_ / "ours", false) == expected);
    fs::create_directories(root_ / "lhasa");
    EXPECT_EQ(shell("lhasa xqw=lhasa hand.lzh", root_).exitCode, 0);
    const Tree lhasa = readTree(root_ / "lhasa", false);
    for (const auto& [path, contents] : expected) {
        const auto found = lhasa.find(path);
        ASSERT_NE(found, lhasa.end()) << path;
        EXPECT_TRUE(found->second == contents) << "lhasa differs on " << path;
    }
}

TEST_F(InteropTest, CommandExitCodesAndErrorLines) {
    writeFile(root_ / "text.txt", "not an archive at all, just some words");
    writeFile(
        root_ / "refused.lzh",
        archive({storedEntry("good.txt", "good", 0), storedEntry("..\\..\\evil.txt", "evil", 0),
                 storedEntry("NUL.txt", "nul", 2), storedEntry("also-good.txt", "also", 2)}));
    TestEntry badCrc = storedEntry("bad.txt", "data", 2);
    badCrc.crc ^= 0x100;
    writeFile(root_ / "crc.lzh", archive({badCrc}));
    const std::string full = archive({packedEntry("-lz5-", "long.txt", text(20000, 9))});
    writeFile(root_ / "cut.lzh", full.substr(0, full.size() / 2));
    TestEntry unknown = storedEntry("x.bin", "data", 2);
    unknown.method = "-pm2-";
    writeFile(root_ / "pm2.lzh", archive({unknown}));
    // A link left in the destination, as a user may plant one where an installer unpacks.
    writeFile(root_ / "linked.lzh", archive({storedEntry("sub\\planted.txt", "planted", 0),
                                             storedEntry("kept.txt", "kept", 2)}));
    fs::create_directories(root_ / "outside");
    fs::create_directories(root_ / "linked-out");
    fs::create_directory_symlink(root_ / "outside", root_ / "linked-out" / "sub");
    ASSERT_EQ(::mkfifo((root_ / "pipe").c_str(), 0600), 0);

    const struct {
        std::string arguments;
        int exitCode;
        std::size_t errorLines;
    } cases[] = {
        {"", 7, 0},
        {"--help", 0, 0},
        {"--version", 0, 0},
        {"q a.lzh", 7, 1},
        {"x -z a.lzh", 7, 1},
        {"t missing.lzh", 8, 1},
        {"t pipe", 8, 1}, // not waited on for a writer
        {"t outside", 8, 1},
        {"t text.txt", 1, 1},
        {"x -+ refused.lzh refused-out", 5, 2},
        {"x linked.lzh linked-out", 5, 1},
        {"t crc.lzh", 2, 1},
        {"x crc.lzh crc-out", 2, 1},
        {"t cut.lzh", 2, 1},
        {"t pm2.lzh", 3, 1},
        {"l refused.lzh", 0, 0},
    };
    for (const auto& c : cases) {
        const Result result = unlha(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments << ": " << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'),
                  static_cast<long>(c.errorLines))
            << c.arguments;
        if (c.errorLines > 0) {
            EXPECT_EQ(result.err.rfind("unlha: ", 0), 0u) << c.arguments;
        }
    }
    const Tree refused = {{"good.txt", "good"}, {"also-good.txt", "also"}};
    EXPECT_TRUE(readTree(root_ / "refused-out", false) == refused);
    EXPECT_TRUE(readTree(root_ / "crc-out", false).empty());
    EXPECT_TRUE(readTree(root_ / "outside", false).empty());
    EXPECT_EQ(readFile(root_ / "linked-out" / "kept.txt"), "kept");
    EXPECT_NE(unlha("l refused.lzh").out.find("also-good.txt"), std::string::npos);
    // A listing that could not be written is no listing.
    const Result toFull = shell("(" UNLHA_COMMAND " l refused.lzh >/dev/full)", root_);
    EXPECT_EQ(toFull.exitCode, 4) << toFull.err;
    EXPECT_EQ(toFull.err, "unlha: cannot write to standard output\n");
}

} // namespace
} // namespace lha::test
