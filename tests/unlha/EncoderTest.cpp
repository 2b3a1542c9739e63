// Tests of the packing side in memory: Huffman codes checked by the decoder's tables, files
// packed by every method and effort and extracted again, the match window's far end, level-2
// headers, stored fallback, names, the pack job's refusals and the check of a written archive.
#include "ArchiveReader.h"
#include "BitWriter.h"
#include "HuffmanEncoder.h"
#include "HuffmanTable.h"
#include "InMemoryJob.h"
#include "JoinedInput.h"
#include "PackJob.h"
#include "SampleData.h"

#include <gtest/gtest.h>

#include <random>

namespace lha::test {
namespace {

class Recorder final : public Observer {
public:
    void report(std::string_view line) override { report_.emplace_back(line); }
    void error(std::string_view line) override { errors.emplace_back(line); }
    void progress(std::string_view, std::uint64_t done, std::uint64_t total) override {
        EXPECT_LE(done, total);
        EXPECT_GE(done, done_) << "progress went back";
        done_ = done;
    }
    bool cancelled() override { return false; }

    std::vector<std::string> errors;

private:
    std::vector<std::string> report_;
    std::uint64_t done_ = 0;
};

struct Packed {
    Status status = Status::Ok;
    std::string archive;
    std::vector<WrittenEntry> entries;
    std::vector<std::string> errors;
};

// Packs the folder "game" of `fileSystem` into "game.lzh".
Packed pack(MemoryFileSystem& fileSystem, const std::string& method,
            Encoder::Effort effort = Encoder::Effort::Normal, bool caseless = false) {
    PackJob job;
    job.archive = "game.lzh";
    job.paths = {"game"};
    job.method = method;
    job.effort = effort;
    job.caseless = caseless;
    Recorder recorder;
    Packed packed;
    packed.status = runPackJob(job, fileSystem, recorder, packed.entries);
    packed.errors = recorder.errors;
    if (fileSystem.files.count("game.lzh") != 0) packed.archive = fileSystem.files["game.lzh"];
    return packed;
}

MemoryFileSystem gameWith(const std::map<std::string, std::string>& files) {
    MemoryFileSystem fileSystem;
    fileSystem.folders.insert("game");
    for (const auto& [path, contents] : files) {
        fileSystem.archives["game/" + path] = contents;
        for (std::size_t slash = path.find('/'); slash != std::string::npos;
             slash = path.find('/', slash + 1))
            fileSystem.folders.insert("game/" + path.substr(0, slash));
    }
    return fileSystem;
}

// Builds the code for `frequencies` and checks it with the decoder's table: complete, no code
// over the limit, and every symbol's code decodes to the symbol.
void expectUsableCode(const std::vector<std::uint32_t>& frequencies, int maxLength,
                      const std::string& what) {
    HuffmanCode code;
    code.build(frequencies.data(), static_cast<int>(frequencies.size()), maxLength);
    int used = 0;
    double space = 0;
    for (std::size_t s = 0; s < frequencies.size(); ++s) {
        if (frequencies[s] != 0) ++used;
        EXPECT_EQ(code.lengths[s] != 0, frequencies[s] != 0 && used >= 1 && code.used >= 2)
            << what << ", symbol " << s;
        EXPECT_LE(code.lengths[s], maxLength) << what;
        if (code.lengths[s] != 0) space += std::ldexp(1.0, -code.lengths[s]);
    }
    ASSERT_EQ(code.used, used) << what;
    if (used < 2) return;
    EXPECT_EQ(space, 1.0) << what << ": the code is not complete";

    HuffmanTable table(static_cast<int>(frequencies.size()), 9);
    ASSERT_TRUE(table.build(code.lengths)) << what;
    BitWriter writer;
    writer.reserve(frequencies.size() * 4 + 16);
    for (std::size_t s = 0; s < frequencies.size(); ++s)
        writer.put(code.codes[s], code.lengths[s]);
    writer.put(0, 32);
    writer.flushBits();
    const std::string bytes(reinterpret_cast<const char*>(writer.data()), writer.size());
    MemoryInput input(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ByteStream stream(input);
    BitReader in(stream, bytes.size());
    for (std::size_t s = 0; s < frequencies.size(); ++s) {
        if (code.lengths[s] == 0) continue;
        in.refill();
        EXPECT_EQ(table.decode(in), s) << what;
    }
}

TEST(HuffmanCode, CompleteLimitedCodesThatTheDecoderReads) {
    std::vector<std::uint32_t> fibonacci = {1, 1};
    while (fibonacci.size() < 30)
        fibonacci.push_back(fibonacci[fibonacci.size() - 1] + fibonacci[fibonacci.size() - 2]);
    std::mt19937 random(8);
    std::vector<std::uint32_t> wide(510);
    for (auto& f : wide)
        f = random() % 3 == 0 ? 0 : random() % 5000;
    const struct {
        std::string what;
        std::vector<std::uint32_t> frequencies;
        int maxLength;
    } cases[] = {
        {"two symbols", {5, 0, 9}, 16},
        {"one symbol", {0, 0, 7, 0}, 16},
        {"no symbol", {0, 0, 0}, 16},
        {"equal frequencies", std::vector<std::uint32_t>(19, 3), 16},
        {"Fibonacci frequencies past 16 bits", fibonacci, 16},
        {"Fibonacci frequencies, limit 7", fibonacci, 7},
        {"510 symbols, seed 8", wide, 16},
    };
    for (const auto& c : cases)
        expectUsableCode(c.frequencies, c.maxLength, c.what);
}

struct Content {
    std::string what;
    std::string data;
    std::size_t shrinksFrom; // packing in a window of this size and more makes it smaller
};

constexpr std::size_t kNever = SIZE_MAX;

// The name of the i-th file (a plain "f" + to_string(i) sets off a false warning of GCC 12).
std::string fileName(std::size_t i) {
    return std::string("f").append(std::to_string(i));
}

std::vector<Content> contents() {
    std::string farEnd = noise(65536, 3);
    farEnd += farEnd; // a copy exactly one -lh7- window back
    return {
        {"text", text(50000, 1), 0},
        {"binary with repeats", noise(3000, 2) + text(3000, 2) + noise(3000, 2), 0},
        {"empty", "", kNever},
        {"one byte", "x", kNever},
        {"a copy overlapping itself", "abcabcabcabcabcabc", 0},
        {"incompressible, seed 4", noise(100000, 4), kNever},
        {"over 1 MiB, seed 5", text(1100000, 5), 0},
        {"a run of one byte", std::string(300000, '\0'), 0},
        {"copies one -lh7- window back, seed 3", farEnd, 65536},
        {"more commands than a block holds, seed 6", noise(40000, 6) + text(200000, 6), 0},
    };
}

const char* const kMethods[] = {"-lh5-", "-lh6-", "-lh7-"};

TEST(Pack, EveryMethodAndEffortExtractsWhatWasPacked) {
    const std::vector<Content> table = contents();
    std::map<std::string, std::string> files;
    for (std::size_t i = 0; i < table.size(); ++i)
        files[fileName(i)] = table[i].data;
    for (const char* method : kMethods) {
        for (const auto effort : {Encoder::Effort::Normal, Encoder::Effort::Best}) {
            const std::string what =
                std::string(method) + (effort == Encoder::Effort::Best ? " best" : " normal");
            MemoryFileSystem fileSystem = gameWith(files);
            const Packed packed = pack(fileSystem, method, effort);
            ASSERT_EQ(packed.status, Status::Ok) << what;
            const Outcome outcome = runInMemory(packed.archive);
            ASSERT_EQ(outcome.status, Status::Ok)
                << what << ": " << (outcome.errors.empty() ? "" : outcome.errors[0]);
            for (std::size_t i = 0; i < table.size(); ++i) {
                const std::string name = fileName(i);
                EXPECT_TRUE(outcome.fileSystem.files.at("out/" + name) == table[i].data)
                    << what << ", " << table[i].what;
                const WrittenEntry& entry = packed.entries[i];
                EXPECT_EQ(entry.name, name);
                const bool shrinks = findMethod(method)->window >= table[i].shrinksFrom;
                EXPECT_EQ(entry.method, shrinks ? method : "-lh0-")
                    << what << ", " << table[i].what;
                EXPECT_LE(entry.packedSize, entry.originalSize) << what << ", " << table[i].what;
            }
        }
    }
}

TEST(Pack, MatchesReachExactlyOneWindowBack) {
    // A random block followed by itself packs to about one block when the copy lies within
    // the window, and to about two when it lies one byte beyond.
    for (const char* method : kMethods) {
        const std::size_t window = findMethod(method)->window;
        for (const std::size_t gap : {window, window + 1}) {
            const std::string block = noise(gap, 9);
            MemoryFileSystem fileSystem = gameWith({{"f", block + block.substr(0, 4096)}});
            const Packed packed = pack(fileSystem, method);
            ASSERT_EQ(packed.status, Status::Ok) << method;
            const bool reached = packed.entries[0].packedSize < gap + 1024;
            EXPECT_EQ(reached, gap == window) << method << ", copy " << gap << " bytes back";
            const Outcome outcome = runInMemory(packed.archive, Action::Test);
            EXPECT_EQ(outcome.status, Status::Ok) << method << ", copy " << gap << " bytes back";
        }
    }
}

TEST(Pack, BestIsSmallerThanNormal) {
    MemoryFileSystem normalFiles = gameWith({{"t", text(400000, 11)}});
    MemoryFileSystem bestFiles = normalFiles;
    const Packed normal = pack(normalFiles, "-lh7-");
    const Packed best = pack(bestFiles, "-lh7-", Encoder::Effort::Best);
    EXPECT_LT(best.entries[0].packedSize, normal.entries[0].packedSize);
}

TEST(Pack, HeadersCarryFoldersNamesTimesAndAttributes) {
    MemoryFileSystem fileSystem = gameWith({{"data/maps/world.bin", text(5000, 12)},
                                            {"readme.txt", "hello"},
                                            {"\x83\x5C\x83\x74\x83\x67/\x95\x5C.txt", "sofuto"}});
    fileSystem.folders.insert("game/empty");
    fileSystem.times["game/readme.txt"] = {Timestamp::Kind::Unix, 1700000000};
    fileSystem.attributes["game/readme.txt"] = 0x21;
    const Packed packed = pack(fileSystem, "-lh5-");
    ASSERT_EQ(packed.status, Status::Ok);

    MemoryInput input(reinterpret_cast<const std::uint8_t*>(packed.archive.data()),
                      packed.archive.size());
    ArchiveReader reader(input);
    const struct {
        std::string method, directory, name;
        std::uint16_t attributes;
    } expected[] = {
        {"-lhd-", "data\xFF", "", 0x10},
        {"-lhd-",
         "data\xFF"
         "maps\xFF",
         "", 0x10},
        {"-lh5-",
         "data\xFF"
         "maps\xFF",
         "world.bin", 0x20},
        {"-lhd-", "empty\xFF", "", 0x10},
        {"-lh0-", "", "readme.txt", 0x21},
        {"-lhd-", "\x83\x5C\x83\x74\x83\x67\xFF", "", 0x10},
        {"-lh0-", "\x83\x5C\x83\x74\x83\x67\xFF", "\x95\x5C.txt", 0x20},
    };
    for (const auto& e : expected) {
        Entry entry;
        bool end = false;
        ASSERT_EQ(reader.next(entry, end), Status::Ok) << e.directory << e.name;
        ASSERT_FALSE(end);
        EXPECT_EQ(entry.level, 2);
        EXPECT_EQ(entry.method, e.method) << e.directory << e.name;
        EXPECT_EQ(entry.directory, e.directory);
        EXPECT_EQ(entry.name, e.name);
        EXPECT_EQ(entry.attributes, e.attributes) << e.directory << e.name;
        EXPECT_EQ(entry.os, 'M');
        if (e.name == "readme.txt") {
            EXPECT_EQ(entry.modified.kind, Timestamp::Kind::Unix);
            EXPECT_EQ(entry.modified.value, 1700000000u);
        }
    }
    Entry entry;
    bool end = false;
    ASSERT_EQ(reader.next(entry, end), Status::Ok);
    EXPECT_TRUE(end);

    const Outcome outcome = runInMemory(packed.archive);
    ASSERT_EQ(outcome.status, Status::Ok);
    EXPECT_EQ(outcome.fileSystem.files.at("out/\x83\x5C\x83\x74\x83\x67/\x95\x5C.txt"), "sofuto");
    EXPECT_EQ(outcome.fileSystem.folders.count("out/empty"), 1u);
}

TEST(Pack, NoHeaderSizeEndsInAZeroByte) {
    // A level-2 header whose size has a low byte of 0 would read as the end marker.
    for (std::size_t length = 1; length <= 300; ++length) {
        MemoryFileSystem fileSystem = gameWith({{std::string(length, 'n'), "x"}});
        const Packed packed = pack(fileSystem, "-lh5-");
        ASSERT_EQ(packed.status, Status::Ok) << "name of " << length;
        EXPECT_NE(packed.archive[0], '\0') << "name of " << length;
        const Outcome outcome = runInMemory(packed.archive, Action::Test);
        EXPECT_EQ(outcome.status, Status::Ok) << "name of " << length;
        EXPECT_EQ(outcome.report.size(), 2u) << "name of " << length;
    }
}

TEST(Pack, NamesWindowsOrTheReaderCannotTake) {
    const struct {
        std::string name;
        bool refused;
    } cases[] = {
        {"readme.txt", false},
        {"\x83\x51\x81\x5B\x83\x80", false}, // ゲーム
        {"\x83\x5C\x83\x74\x83\x67", false}, // ソフト: trail byte 0x5C
        {"\x83|", false},                    // trail byte 0x7C
        {"a|b", true},
        {"a*b", true},
        {"what?", true},
        {"\"q\"", true},
        {"<a>", true},
        {"a:b", true},
        {"a\\b", true},
        {"a/b", true},
        {"dot.", true},
        {"blank ", true},
        {".", true},
        {"..", true},
        {"CON", true},
        {"nul.txt", true},
        {"COM1", true},
        {"tab\tname", true},
        {"", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(refusedName(c.name) != nullptr, c.refused) << "name \"" << c.name << "\"";
}

TEST(Pack, RefusalsWriteNothing) {
    const struct {
        std::string what;
        std::map<std::string, std::string> files;
        bool existing;
        bool caseless;
        Status status;
        std::size_t errors;
    } cases[] = {
        {"a name Windows cannot take",
         {{"a.txt", "a"}, {"b?.txt", "b"}, {"c*", "c"}},
         false,
         false,
         Status::RefusedPath,
         2},
        {"names that differ in case",
         {{"Data.bin", "a"}, {"DATA.BIN", "b"}},
         false,
         true,
         Status::RefusedPath,
         1},
        {"names that differ in case, allowed",
         {{"Data.bin", "a"}, {"DATA.BIN", "b"}},
         false,
         false,
         Status::Ok,
         0},
        {"an archive that exists", {{"a.txt", "a"}}, true, false, Status::WriteFailed, 1},
    };
    for (const auto& c : cases) {
        MemoryFileSystem fileSystem = gameWith(c.files);
        if (c.existing) fileSystem.archives["game.lzh"] = "old";
        const Packed packed = pack(fileSystem, "-lh5-", Encoder::Effort::Normal, c.caseless);
        EXPECT_EQ(packed.status, c.status) << c.what;
        EXPECT_EQ(packed.errors.size(), c.errors) << c.what;
        if (c.status != Status::Ok) {
            EXPECT_TRUE(fileSystem.files.empty()) << c.what;
            EXPECT_EQ(packed.entries.size(), 0u) << c.what;
        }
    }
    MemoryFileSystem noFolder;
    EXPECT_EQ(pack(noFolder, "-lh5-").status, Status::ReadFailed);
}

TEST(Pack, AFailedWriteLeavesNoArchive) {
    MemoryFileSystem fileSystem = gameWith({{"a.txt", text(1000, 1)}});
    fileSystem.failingName = "game.lzh";
    const Packed packed = pack(fileSystem, "-lh5-");
    EXPECT_EQ(packed.status, Status::WriteFailed);
    EXPECT_TRUE(fileSystem.files.empty());
}

TEST(Pack, AUsersFileOfTheTemporaryNameSurvives) {
    for (const bool failing : {false, true}) {
        MemoryFileSystem fileSystem = gameWith({{"a.txt", text(1000, 1)}});
        fileSystem.files["game.lzh.unlha-part"] = "mine";
        if (failing) fileSystem.failingName = "game.lzh.unlha-part2";
        const Packed packed = pack(fileSystem, "-lh5-");
        EXPECT_EQ(packed.status, failing ? Status::WriteFailed : Status::Ok) << failing;
        EXPECT_EQ(fileSystem.files["game.lzh.unlha-part"], "mine") << failing;
        EXPECT_EQ(fileSystem.files.size(), failing ? 1u : 2u) << failing;
    }
}

TEST(Pack, ProgressNeverGoesBack) {
    // A file that does not shrink is read again to be stored; the recorder checks the order.
    MemoryFileSystem fileSystem = gameWith({{"noise.bin", noise(3 << 20, 5)}});
    EXPECT_EQ(pack(fileSystem, "-lh5-").status, Status::Ok);
}

TEST(CheckArchive, FindsEveryDifference) {
    MemoryFileSystem fileSystem =
        gameWith({{"a/one.txt", text(30000, 13)}, {"two.bin", noise(500, 13)}});
    const Packed packed = pack(fileSystem, "-lh7-");
    ASSERT_EQ(packed.status, Status::Ok);
    std::string flipped = packed.archive;
    flipped[flipped.size() / 2] ^= 0x10;
    std::vector<WrittenEntry> renamed = packed.entries;
    renamed[1].name = "other.txt";
    std::vector<WrittenEntry> fewer = packed.entries;
    fewer.pop_back();
    std::vector<WrittenEntry> more = packed.entries;
    more.push_back(more.back());
    const struct {
        std::string what;
        std::string archive;
        const std::vector<WrittenEntry>& written;
        Status status;
    } cases[] = {
        {"as written", packed.archive, packed.entries, Status::Ok},
        {"a flipped bit in the data", flipped, packed.entries, Status::BrokenData},
        {"cut short", packed.archive.substr(0, packed.archive.size() - 100), packed.entries,
         Status::BrokenData},
        {"another name", packed.archive, renamed, Status::BrokenData},
        {"an entry more than written", packed.archive, fewer, Status::BrokenData},
        {"an entry less than written", packed.archive, more, Status::BrokenData},
    };
    for (const auto& c : cases) {
        MemoryInput input(reinterpret_cast<const std::uint8_t*>(c.archive.data()),
                          c.archive.size());
        Recorder recorder;
        EXPECT_EQ(checkArchive(input, c.written, recorder), c.status) << c.what;
        EXPECT_EQ(recorder.errors.size(), c.status == Status::Ok ? 0u : 1u) << c.what;
    }
}

TEST(JoinedInput, ReadsAcrossVolumes) {
    const std::string whole = noise(1000, 14);
    for (const std::vector<std::size_t>& cuts :
         {std::vector<std::size_t>{1000}, {1, 999}, {400, 0, 600}, {333, 333, 334}}) {
        std::vector<std::string> pieces;
        std::size_t at = 0;
        for (const std::size_t cut : cuts) {
            pieces.push_back(whole.substr(at, cut));
            at += cut;
        }
        std::vector<std::unique_ptr<Input>> volumes;
        for (const std::string& piece : pieces)
            volumes.push_back(std::make_unique<MemoryInput>(
                reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size()));
        JoinedInput joined(std::move(volumes));
        ASSERT_EQ(joined.size(), whole.size());
        for (const std::size_t offset : {0u, 1u, 332u, 333u, 399u, 400u, 998u, 1000u}) {
            std::string read(300, '\0');
            std::size_t got = 0;
            ASSERT_EQ(joined.readAt(offset, reinterpret_cast<std::uint8_t*>(read.data()),
                                    read.size(), got),
                      Status::Ok);
            read.resize(got);
            EXPECT_EQ(read, whole.substr(offset, 300))
                << "offset " << offset << ", " << cuts.size() << " volumes";
        }
    }
}

TEST(PackCommand, Syntax) {
    const std::vector<std::string> game = {"game"};
    const struct {
        std::vector<std::string> arguments;
        Status status;
        std::string method;
        bool best;
        bool quiet;
        std::vector<std::string> paths;
    } cases[] = {
        {{"a.lzh", "game"}, Status::Ok, "-lh5-", false, false, game},
        {{"-lh7", "-best", "-q", "a.lzh", "game"}, Status::Ok, "-lh7-", true, true, game},
        {{"-lh6", "a.lzh", "game"}, Status::Ok, "-lh6-", false, false, game},
        // Switches come first; after the archive everything is a path.
        {{"a.lzh", "game", "-lh6", "more"},
         Status::Ok,
         "-lh5-",
         false,
         false,
         {"game", "-lh6", "more"}},
        {{"-q", "--", "a.lzh", "-game"}, Status::Ok, "-lh5-", false, true, {"-game"}},
        {{"-lh1", "a.lzh", "game"}, Status::BadCommand, "", false, false, {}},
        {{"-x", "a.lzh", "game"}, Status::BadCommand, "", false, false, {}},
        {{"a.lzh"}, Status::BadCommand, "", false, false, {}},
        {{"a.lzh", "game", ""}, Status::BadCommand, "", false, false, {}},
        {{}, Status::BadCommand, "", false, false, {}},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const std::string& argument : c.arguments)
            joined += argument + ' ';
        PackCommand command;
        std::string error;
        ASSERT_EQ(parsePackCommand(c.arguments, command, error), c.status) << joined;
        if (c.status != Status::Ok) {
            EXPECT_FALSE(error.empty()) << joined;
            continue;
        }
        EXPECT_EQ(command.job.method, c.method) << joined;
        EXPECT_EQ(command.job.effort == Encoder::Effort::Best, c.best) << joined;
        EXPECT_EQ(command.quiet, c.quiet) << joined;
        EXPECT_EQ(command.job.archive, "a.lzh");
        EXPECT_EQ(command.job.paths, c.paths) << joined;
    }
}

} // namespace
} // namespace lha::test
