// Tests of the codec's parts and of every decoder: CRC, Huffman tables, round trips per
// method across window and buffer boundaries, hand-made static-Huffman blocks.
#include "ArchiveBuilder.h"
#include "Crc16.h"
#include "HuffmanTable.h"
#include "InMemoryJob.h"
#include "TestEncoders.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace lha::test {
namespace {

// Text-like data with repeats near and far, plus stretches of noise and runs.
std::string sampleData(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    const char* words[] = {"archive ", "window ",  "Huffman ", "\r\n",
                           "decoder ", "\xFF\x00", "LHA "};
    std::string data;
    while (data.size() < size) {
        switch (random() % 8) {
        case 0: data.append(random() % 40, static_cast<char>(random())); break;
        case 1:
            for (int i = random() % 30; i > 0; --i)
                data += static_cast<char>(random());
            break;
        case 2:
            if (data.size() > 10) data += data.substr(random() % data.size(), random() % 300);
            break;
        default: data += words[random() % 7];
        }
    }
    data.resize(size);
    return data;
}

TEST(Crc16, MatchesTheCheckValueInAnyPieces) {
    EXPECT_EQ(crcOf("123456789"), 0xBB3D);
    const std::string data = sampleData(1000, 1);
    for (std::size_t piece = 1; piece <= 17; ++piece) {
        Crc16 crc;
        for (std::size_t at = 0; at < data.size(); at += piece)
            crc.update(reinterpret_cast<const std::uint8_t*>(data.data()) + at,
                       std::min(piece, data.size() - at));
        EXPECT_EQ(crc.value(), crcOf(data)) << "pieces of " << piece;
    }
}

// Decodes each symbol's canonical code, written bit by bit.
void expectDecodes(const std::vector<std::uint8_t>& lengths, int rootBits) {
    HuffmanTable table(static_cast<int>(lengths.size()), rootBits);
    ASSERT_TRUE(table.build(lengths.data()));
    BitWriter writer;
    std::vector<int> order;
    std::uint32_t code = 0;
    for (int length = 1; length <= 16; ++length, code <<= 1)
        for (std::size_t s = 0; s < lengths.size(); ++s)
            if (lengths[s] == length) {
                writer.put(code++, length);
                order.push_back(static_cast<int>(s));
            }
    const std::string bytes = writer.bytes() + std::string(8, '\0');
    MemoryInput input(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ByteStream stream(input);
    BitReader in(stream, bytes.size());
    for (const int symbol : order) {
        in.refill();
        EXPECT_EQ(table.decode(in), static_cast<std::uint32_t>(symbol)) << "root bits " << rootBits;
    }
}

TEST(HuffmanTable, DecodesShortAndLongCodes) {
    std::vector<std::uint8_t> skewed; // lengths 1, 2, ..., 15, 16, 16: a complete code
    for (std::uint8_t length = 1; length <= 16; ++length)
        skewed.push_back(length);
    skewed.push_back(16);
    for (const int rootBits : {4, 8, 12})
        expectDecodes(skewed, rootBits);
    std::vector<std::uint8_t> mixed(300, 0);
    for (std::size_t s = 0; s < 256; ++s)
        mixed[s] = 9 + (s % 2); // 128 of 9 bits, 128 of 10 bits
    mixed[299] = 2;
    expectDecodes(mixed, 8);
}

TEST(HuffmanTable, RejectsOversubscribedCodesAndMarksGaps) {
    HuffmanTable table(3, 4);
    const std::uint8_t tooMany[] = {1, 1, 1};
    EXPECT_FALSE(table.build(tooMany));
    const std::uint8_t tooLong[] = {17, 1, 0};
    EXPECT_FALSE(table.build(tooLong));
    const std::uint8_t gap[] = {1, 0, 0}; // the pattern 1... has no symbol
    ASSERT_TRUE(table.build(gap));
    const std::uint8_t ones[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    MemoryInput input(ones, sizeof ones);
    ByteStream stream(input);
    BitReader in(stream, sizeof ones);
    in.refill();
    EXPECT_EQ(table.decode(in), HuffmanTable::kInvalid);
}

struct RoundTrip {
    const char* method;
    std::size_t size;
};

void PrintTo(const RoundTrip& trip, std::ostream* out) {
    *out << trip.method << " " << trip.size;
}

class MethodRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(MethodRoundTrip, ExtractsWhatWasPacked) {
    const auto [method, size] = GetParam();
    const std::string data = sampleData(size, static_cast<unsigned>(size));
    const Outcome outcome = runInMemory(archive({packedEntry(method, "f.bin", data)}));
    ASSERT_EQ(outcome.status, Status::Ok)
        << method << " " << size << ": " << (outcome.errors.empty() ? "" : outcome.errors[0]);
    EXPECT_TRUE(outcome.fileSystem.files.at("out/f.bin") == data) << method << " " << size;
}

std::vector<RoundTrip> roundTrips() {
    std::vector<RoundTrip> all;
    // Empty, tiny, around each window, across the 1 MiB output chunk.
    for (const char* method : {"-lh0-", "-lz4-", "-lzs-", "-lz5-", "-lh1-"})
        for (const std::size_t size :
             {0u, 1u, 17u, 2047u, 2048u, 2049u, 4095u, 4096u, 4097u, 70000u, 1048576u + 3000u})
            all.push_back({method, size});
    return all;
}

INSTANTIATE_TEST_SUITE_P(AllSizes, MethodRoundTrip, ::testing::ValuesIn(roundTrips()));

// One -lh5- block: T, C and P tables in their single-symbol form, or as given.
struct Block {
    const char* what;
    std::string bits;
    std::uint64_t originalSize;
    Status expected;
    std::string output;
};

void putSingleSymbolBlock(BitWriter& w, std::uint32_t commands, std::uint32_t literal) {
    w.put(commands, 16);
    w.put(0, 5), w.put(0, 5);       // T: one symbol
    w.put(0, 9), w.put(literal, 9); // C: one symbol
    w.put(0, 4), w.put(0, 4);       // P: one symbol
}

std::string singleSymbolBlock(std::uint32_t commands, std::uint32_t literal) {
    BitWriter w;
    putSingleSymbolBlock(w, commands, literal);
    return w.bytes();
}

std::string twoBlocks() {
    BitWriter w;
    putSingleSymbolBlock(w, 2, 'A');
    putSingleSymbolBlock(w, 3, 'B');
    return w.bytes();
}

std::string blockWith(const std::function<void(BitWriter&)>& tables) {
    BitWriter w;
    w.put(1, 16);
    tables(w);
    return w.bytes() + std::string(4, '\0');
}

TEST(StaticHuffman, HandMadeBlocks) {
    const Block blocks[] = {
        {"single-symbol tables", singleSymbolBlock(5, 'A'), 5, Status::Ok, "AAAAA"},
        {"two blocks", twoBlocks(), 5, Status::Ok, "AABBB"},
        {"size beyond the blocks", singleSymbolBlock(5, 'A'), 1 << 22, Status::BrokenData, ""},
        {"T table too big", blockWith([](BitWriter& w) { w.put(20, 5); }), 1, Status::BrokenData,
         ""},
        {"T single symbol out of range", blockWith([](BitWriter& w) { w.put(0, 5), w.put(19, 5); }),
         1, Status::BrokenData, ""},
        {"T lengths over-subscribed", blockWith([](BitWriter& w) {
             w.put(3, 5), w.put(1, 3), w.put(1, 3), w.put(1, 3), w.put(0, 2);
         }),
         1, Status::BrokenData, ""},
        {"T length over 16",
         blockWith([](BitWriter& w) { w.put(1, 5), w.put(7, 3), w.put(0x3FF, 10), w.put(0, 1); }),
         1, Status::BrokenData, ""},
        {"C table too big",
         blockWith([](BitWriter& w) { w.put(0, 5), w.put(0, 5), w.put(511, 9); }), 1,
         Status::BrokenData, ""},
        {"C single symbol out of range",
         blockWith([](BitWriter& w) { w.put(0, 5), w.put(0, 5), w.put(0, 9), w.put(510, 9); }), 1,
         Status::BrokenData, ""},
        {"C zero run past the alphabet", blockWith([](BitWriter& w) {
             w.put(0, 5), w.put(2, 5), w.put(510, 9);
             w.put(511, 9);
         }),
         1, Status::BrokenData, ""},
        {"P table too big", blockWith([](BitWriter& w) {
             w.put(0, 5), w.put(0, 5), w.put(0, 9), w.put('A', 9), w.put(15, 4);
         }),
         1, Status::BrokenData, ""},
    };
    for (const Block& block : blocks) {
        TestEntry entry;
        entry.method = "-lh5-";
        entry.name = "f";
        entry.packed = block.bits;
        entry.originalSize = block.originalSize;
        entry.crc = crcOf(block.output);
        const Outcome outcome = runInMemory(archive({entry}), Action::Test);
        EXPECT_EQ(outcome.status, block.expected) << block.what;
    }
}

TEST(StaticHuffman, ClaimedSizeFarBeyondTheDataFailsQuickly) {
    TestEntry entry;
    entry.method = "-lh7-";
    entry.name = "huge";
    entry.packed = singleSymbolBlock(5, 'A');
    std::string sizes(16, '\0');
    sizes[0] = static_cast<char>(entry.packed.size());
    sizes[13] = 1; // 2^40 bytes
    entry.extended.emplace_back(0x42, sizes);
    const Outcome outcome = runInMemory(archive({entry}), Action::Test);
    EXPECT_EQ(outcome.status, Status::BrokenData);
}

} // namespace
} // namespace lha::test
