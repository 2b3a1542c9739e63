// Canonical Huffman codes of limited length built from symbol frequencies, for the encoders.
#pragma once

#include <cstdint>

namespace lha {

struct HuffmanCode {
    static constexpr int kMaxSymbols = 512;

    // Builds the code of `symbols` symbols (at most kMaxSymbols) for these frequencies, no
    // code longer than `maxLength` bits. With two or more symbols in use the code is complete;
    // symbols not in use get length 0. A lone symbol in use gets length 0 as well: the format
    // writes it as a table of one symbol that costs no bits.
    void build(const std::uint32_t* frequencies, int symbols, int maxLength);

    int used = 0;   // symbols with a frequency above 0
    int single = 0; // the symbol in use when `used` is 1
    int count = 0;  // symbols covered by `lengths`: the last one in use, plus one
    std::uint8_t lengths[kMaxSymbols];
    std::uint16_t
        codes[kMaxSymbols]; // codes in the lowest `lengths` bits, as the Deflate order gives
};

} // namespace lha
