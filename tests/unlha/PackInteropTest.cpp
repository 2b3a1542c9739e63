// Archives made by `unlha a`, read by the peer tools: every method and effort, extracted and
// tested by lhasa, jlha and 7zz and by our own decoder, byte for byte; the command's
// refusals; and how it winds down when interrupted.
#include "ArchiveReader.h"
#include "HostFiles.h"
#include "InterruptedCommand.h"
#include "SampleData.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using namespace lha::test;
bool ascii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The files with ASCII paths, and the contents of all files: two peers split or drop a trail
// byte 0x5C of a name, so only their data is compared for the others.
std::pair<Tree, std::multiset<std::string>> comparable(const Tree& tree) {
    std::pair<Tree, std::multiset<std::string>> result;
    for (const auto& [path, contents] : tree) {
        if (path.back() == '/') continue;
        if (ascii(path)) result.first[path] = contents;
        result.second.insert(contents);
    }
    return result;
}

// A block of noise and its copy `distance` bytes later: matches at the window's far end.
std::string farCopy(std::size_t distance, unsigned seed) {
    const std::string block = noise(distance, seed);
    return block + block.substr(0, 5000);
}

// The source tree, with names as the system writes them (UTF-8).
const Tree& sourceTree() {
    static const Tree tree = {
        {"readme.txt", text(20000, 1)},
        {"bin/tool.bin", noise(3000, 2) + text(5000, 2) + noise(3000, 2)},
        {"bin/empty.dat", ""},
        {"bin/random.bin", noise(70000, 3)},
        {"big/large.txt", text(1200000, 4)},
        {"far/8k.bin", farCopy(8192, 5)},
        {"far/32k.bin", farCopy(32768, 6)},
        {"far/64k.bin", farCopy(65536, 7)},
        {"\u30BD\u30D5\u30C8/\u8868.txt", "trail byte 0x5C in the folder and the name"},
        {"\u65E5\u672C\u8A9E.txt", "nihongo"},
        {"emptydir/", ""},
    };
    return tree;
}

// The tree with an entry for every folder, as readTree() sees it.
Tree withFolders(const Tree& tree) {
    Tree all = tree;
    for (const auto& [path, contents] : tree)
        for (std::size_t slash = path.find('/');
             slash != std::string::npos && slash + 1 < path.size();
             slash = path.find('/', slash + 1))
            all[path.substr(0, slash + 1)] = "";
    return all;
}

struct Result {
    int exitCode = 0;
    std::string out;
    std::string err;
};

class PackInterop : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() / ("unlha-pack-" + std::to_string(std::random_device{}()));
        for (const auto& [path, contents] : sourceTree()) {
            if (path.back() == '/')
                fs::create_directories(root_ / "source" / path);
            else
                writeFile(root_ / "source" / fs::u8path(path), contents);
        }
    }
    void TearDown() override { fs::remove_all(root_); }

    Result shell(const std::string& command) {
        const fs::path out = root_ / "stdout", err = root_ / "stderr";
        const std::string line =
            "cd " + quote(root_) + " && " + command + " >" + quote(out) + " 2>" + quote(err);
        const int status = std::system(line.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
    }

    fs::path root_;
};

TEST_P(PackInterop, PeersReadEveryArchiveByteForByte) {
    const std::string options = GetParam();
    const Result packed = shell(UNLHA_COMMAND " a -q " + options + " a.lzh source");
    ASSERT_EQ(packed.exitCode, 0) << options << ": " << packed.err;

    fs::create_directories(root_ / "ours");
    const Result ours = shell(UNLHA_COMMAND " x -q a.lzh ours");
    ASSERT_EQ(ours.exitCode, 0) << options << ": " << ours.err;
    // The names come back as they were, through code page 932 and back to UTF-8.
    EXPECT_TRUE(readTree(root_ / "ours") == withFolders(sourceTree())) << options;
    EXPECT_NE(shell(UNLHA_COMMAND " l a.lzh").out.find("\u8868.txt"), std::string::npos);
    const auto modified = fs::last_write_time(root_ / "ours" / "readme.txt");
    EXPECT_LE(std::chrono::abs(modified - fs::last_write_time(root_ / "source" / "readme.txt")),
              std::chrono::seconds(1))
        << options;

    // jlha turns the names into UTF-8 as the source had them.
    fs::create_directories(root_ / "jlha");
    const Result jlha = shell("cd jlha && LC_ALL=ja_JP.UTF-8 jlha xq ../a.lzh");
    EXPECT_EQ(jlha.exitCode, 0) << options << ": " << jlha.err;
    EXPECT_TRUE(readTree(root_ / "jlha") == withFolders(sourceTree())) << "jlha, " << options;

    fs::create_directories(root_ / "lhasa");
    EXPECT_EQ(shell("lhasa xqw=lhasa a.lzh").exitCode, 0) << options;
    EXPECT_TRUE(comparable(readTree(root_ / "lhasa")) == comparable(sourceTree()))
        << "lhasa, " << options;
    EXPECT_EQ(shell("7zz x -y -o7zz a.lzh").exitCode, 0) << options;
    EXPECT_TRUE(comparable(readTree(root_ / "7zz")) == comparable(sourceTree()))
        << "7zz, " << options;

    // Their own tests of every CRC, without a warning.
    for (const std::string& test :
         {std::string("lhasa t a.lzh"), std::string("LC_ALL=ja_JP.UTF-8 jlha t a.lzh"),
          std::string("7zz t a.lzh")}) {
        const Result result = shell(test);
        EXPECT_EQ(result.exitCode, 0) << test << ", " << options << ": " << result.err;
        EXPECT_EQ(result.err, "") << test << ", " << options;
    }
}

TEST_F(PackInterop, SeveralPathsEachUnderTheirOwnNames) {
    const Result packed = shell(UNLHA_COMMAND " a several.lzh source/readme.txt source/bin " +
                                quote(fs::u8path("source/\u65E5\u672C\u8A9E.txt")));
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_NE(packed.out.find("folder                                     bin\n"),
              std::string::npos)
        << packed.out;
    EXPECT_NE(packed.out.find("5 files, 1 folder, 101007 bytes, archive of " +
                              std::to_string(fs::file_size(root_ / "several.lzh")) + " bytes\n"),
              std::string::npos)
        << packed.out;
    const Result listed = shell(UNLHA_COMMAND " l several.lzh");
    EXPECT_NE(listed.out.find(" bin/random.bin\n"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("5 files, 1 folder\n"), std::string::npos) << listed.out;
    ASSERT_EQ(shell(UNLHA_COMMAND " x -q several.lzh several").exitCode, 0);
    Tree expected;
    for (const auto& [path, contents] : sourceTree())
        if (path.rfind("bin/", 0) == 0 || path == "readme.txt" || path == "\u65E5\u672C\u8A9E.txt")
            expected[path] = contents;
    EXPECT_TRUE(readTree(root_ / "several") == withFolders(expected));
}

TEST_F(PackInterop, TimesTheHeaderCannotHoldAreLeftUnsetNotWrappedRound) {
    // The header's 32-bit Unix time holds 1970 to 2106.
    const std::map<std::string, std::int64_t> times = {
        {"1960.txt", -300000000}, {"2107.txt", 4400000000}, {"2033.txt", 2000000000}};
    for (const auto& [name, seconds] : times) {
        writeFile(root_ / "times" / name, name);
        const timespec set[2] = {{0, UTIME_NOW}, {static_cast<time_t>(seconds), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (root_ / "times" / name).c_str(), set, 0), 0);
    }
    ASSERT_EQ(shell(UNLHA_COMMAND " a times.lzh times").exitCode, 0);
    const std::string archive = readFile(root_ / "times.lzh");
    lha::MemoryInput input(reinterpret_cast<const std::uint8_t*>(archive.data()), archive.size());
    lha::ArchiveReader reader(input);
    std::map<std::string, lha::Timestamp> stored;
    for (bool end = false;;) {
        lha::Entry entry;
        ASSERT_EQ(reader.next(entry, end), lha::Status::Ok);
        if (end) break;
        stored[entry.name] = entry.modified;
    }
    EXPECT_EQ(stored["1960.txt"].kind, lha::Timestamp::Kind::None);
    EXPECT_EQ(stored["2107.txt"].kind, lha::Timestamp::Kind::None);
    EXPECT_EQ(stored["2033.txt"].kind, lha::Timestamp::Kind::Unix);
    EXPECT_EQ(stored["2033.txt"].value, 2000000000u);
}

INSTANTIATE_TEST_SUITE_P(MethodsAndEfforts, PackInterop,
                         ::testing::Values("-lh5", "-lh6", "-lh7", "-lh5 -best", "-lh6 -best",
                                           "-lh7 -best"));

TEST_F(PackInterop, RefusalsWriteNoArchive) {
    writeFile(root_ / "odd" / "\xF0\x9F\x98\x80.txt", "no code page 932 form"); // an emoji
    writeFile(root_ / "odd" / "plain.txt", "fine");
    writeFile(root_ / "old.lzh", "an archive of before");
    // Links are taken as what they point to, except links to folders, which could lead back
    // up the tree, and links that lead nowhere.
    writeFile(root_ / "links" / "file.txt", "the file");
    fs::create_directory_symlink(root_ / "links", root_ / "links" / "folder-link");
    fs::create_symlink(root_ / "nowhere", root_ / "links" / "dangling-link");
    fs::create_directories(root_ / "linked");
    fs::create_symlink(root_ / "links" / "file.txt", root_ / "linked" / "to-file");
    const struct {
        std::string arguments;
        int exitCode;
        std::string error;
    } cases[] = {
        {"a odd.lzh odd", 5,
         "unlha: odd/\xF0\x9F\x98\x80.txt: the name has no code page 932 form\n"},
        {"a old.lzh source", 4,
         "unlha: old.lzh: exists already; a new archive is made only where none is\n"},
        {"a source source/readme.txt", 4,
         "unlha: source: exists already; a new archive is made only where none is\n"},
        {"a new.lzh missing", 8, "unlha: missing: no such file or folder, or it cannot be read\n"},
        {"a new.lzh odd/plain.txt missing source", 8,
         "unlha: missing: no such file or folder, or it cannot be read\n"},
        {"a new.lzh source/bin/tool.bin source/readme.txt linked/../source/bin/tool.bin", 5,
         "unlha: linked/../source/bin/tool.bin: would be stored under the same name as "
         "source/bin/tool.bin\n"},
        {"a new.lzh odd/plain.txt .", 5,
         "unlha: .: has no name to store it under; give a folder by its name, or alone to pack "
         "what it holds\n"},
        {"a links.lzh links", 5,
         "unlha: links/dangling-link: not a file or a folder (a link to a folder, which is "
         "never followed, a link to nothing, a device or a pipe)\n"
         "unlha: links/folder-link: not a file or a folder (a link to a folder, which is never "
         "followed, a link to nothing, a device or a pipe)\n"},
        {"a linked.lzh linked", 0, ""},
        {"a -lh1 new.lzh source", 7, ""},
        {"a new.lzh", 7, ""},
    };
    for (const auto& c : cases) {
        const Result result = shell(UNLHA_COMMAND " " + c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments << ": " << result.err;
        if (!c.error.empty()) {
            EXPECT_EQ(result.err, c.error) << c.arguments;
        }
    }
    EXPECT_FALSE(fs::exists(root_ / "odd.lzh"));
    EXPECT_FALSE(fs::exists(root_ / "links.lzh"));
    EXPECT_EQ(shell(UNLHA_COMMAND " t linked.lzh").out.find("ok                   8  to-file"), 0u);
    EXPECT_FALSE(fs::exists(root_ / "new.lzh"));
    EXPECT_EQ(readFile(root_ / "old.lzh"), "an archive of before");
    for (const auto& item : fs::directory_iterator(root_))
        EXPECT_EQ(item.path().string().find(".unlha-part"), std::string::npos) << item.path();
}

TEST_F(PackInterop, AnInterruptedCommandRemovesWhatItHadHalfWritten) {
    // A file big enough to be packed and extracted for a good while, after a small one: 16
    // letters at random, which pack quickly and decode slowly, a literal at a time.
    std::string letters = noise(64 << 20, 8);
    for (char& c : letters)
        c = static_cast<char>('a' + (c & 15));
    writeFile(root_ / "game" / "a.txt", "small and whole");
    writeFile(root_ / "game" / "b.txt", letters);
    const struct {
        std::string command;
        fs::path atWork; // has data once the command is at work on the big file
        fs::path before; // a file there before, which stays as it was
        fs::path gone;   // not there afterwards
        fs::path kept;   // a file completely written before the interrupt, which stays
        int signal;
    } cases[] = {
        {"a", root_ / "new.lzh.unlha-part", "", root_ / "new.lzh", "", SIGINT},
        {"x", root_ / "fresh" / "b.txt", "", root_ / "fresh" / "b.txt", root_ / "fresh" / "a.txt",
         SIGTERM},
        {"x", root_ / "over" / "b.txt.unlha-part", root_ / "over" / "b.txt", "",
         root_ / "over" / "a.txt", SIGINT},
    };
    ASSERT_EQ(shell(UNLHA_COMMAND " a -q game.lzh game/a.txt game/b.txt").exitCode, 0);
    writeFile(root_ / "over" / "b.txt", "the file of before");
    for (const auto& c : cases) {
        const std::string what = c.command + " " + std::string(strsignal(c.signal)) + ", " +
                                 c.atWork.lexically_relative(root_).string();
        const std::vector<std::string> command =
            c.command == "a"
                ? std::vector<std::string>{UNLHA_COMMAND, "a", (root_ / "new.lzh").string(),
                                           (root_ / "game").string()}
                : std::vector<std::string>{UNLHA_COMMAND, "x", (root_ / "game.lzh").string(),
                                           c.atWork.parent_path().string()};
        const Interrupted run =
            runInterrupted(command, root_ / "log", c.signal, [&] { return hasData(c.atWork); });
        ASSERT_TRUE(run.atWork) << what << ": " << run.log;
        ASSERT_TRUE(run.ended) << what;
        EXPECT_EQ(run.exitCode, 6) << what << ": " << run.log;
        EXPECT_NE(run.log.find("unlha: interrupted\n"), std::string::npos)
            << what << ": " << run.log;
        if (!c.gone.empty()) {
            EXPECT_FALSE(fs::exists(c.gone)) << what;
        }
        if (!c.before.empty()) {
            EXPECT_EQ(readFile(c.before), "the file of before") << what;
        }
        if (!c.kept.empty()) {
            EXPECT_EQ(readFile(c.kept), "small and whole") << what;
        }
        for (const auto& item : fs::recursive_directory_iterator(root_))
            EXPECT_EQ(item.path().string().find(".unlha-part"), std::string::npos) << item.path();
    }
}

} // namespace
