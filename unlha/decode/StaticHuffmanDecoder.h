// Decoder of -lh4- to -lh7- and -lhx-: LZ77 with block-wise static Huffman codes.
#pragma once

#include "Decoder.h"
#include "HuffmanTable.h"
#include "StaticHuffmanFormat.h"

#include <array>
#include <cstdint>

namespace lha {

class StaticHuffmanDecoder final : public Decoder, public StaticHuffmanFormat {
public:
    // `np`: size of the position alphabet; `pbit`: width of its table-size field.
    StaticHuffmanDecoder(int np, int pbit);
    Status decode(BitReader& in, OutputWindow& out) override;

private:
    static constexpr int kMaxNp = 20;
    static constexpr int kCommandRoot = 12; // root table widths of the C and P codes
    static constexpr int kPositionRoot = 8;

    // The block's command count (tables read), or 0 when the header is broken.
    std::uint32_t readBlockHeader(BitReader& in);
    // Reads the count of code lengths that opens a table of `symbols` symbols, in `countBits`
    // bits. A count of 0 is followed by the table's only symbol, and `table` is built for it
    // here. -1 when the count or the symbol is out of range.
    static int readLengthCount(BitReader& in, int symbols, int countBits, HuffmanTable& table);
    bool readSmallTable(BitReader& in, int symbols, int countBits, bool zerosAfterThird,
                        HuffmanTable& table);
    bool readCodeTable(BitReader& in);

    int np_;
    int pbit_;
    HuffmanTable lengthCode_;                // T: codes the lengths of the C code
    HuffmanTable commandCode_;               // C: literals and match lengths
    HuffmanTable positionCode_;              // P: bit counts of match distances
    std::array<std::uint8_t, NC> lengths_{}; // scratch for building the C code
};

} // namespace lha
