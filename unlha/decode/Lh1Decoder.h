// Decoder of -lh1-: LZ77 over a 4 KiB window, adaptive Huffman symbols, fixed position code.
#pragma once

#include "AdaptiveHuffman.h"
#include "Decoder.h"
#include "HuffmanTable.h"

namespace lha {

class Lh1Decoder final : public Decoder {
public:
    Lh1Decoder();
    Status decode(BitReader& in, OutputWindow& out) override;

    // The fixed code of the top six bits of a match position, in symbol order.
    static const std::uint8_t* positionLengths();

private:
    AdaptiveHuffman symbols_;
    HuffmanTable positionCode_;
};

} // namespace lha
