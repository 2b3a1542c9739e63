// Canonical Huffman codes of up to 16 bits, decoded through a lookup table plus sub-tables.
#pragma once

#include "BitReader.h"

#include <cstdint>
#include <vector>

namespace lha {

class HuffmanTable {
public:
    static constexpr int kMaxLength = 16;
    // Returned by decode() for bit patterns that no code of an incomplete code set covers.
    static constexpr std::uint32_t kInvalid = 0xFFFF;

    // `symbols`: alphabet size; `rootBits`: bits resolved by the first lookup.
    HuffmanTable(int symbols, int rootBits);

    // Builds the code from `lengths` (one per symbol, 0 = unused, at most kMaxLength).
    // Fails when the lengths over-subscribe the code space. Incomplete codes are accepted;
    // their unused patterns decode to kInvalid.
    bool build(const std::uint8_t* lengths);
    // A code of one symbol that costs no bits.
    void buildSingle(std::uint32_t symbol);

    // What decoding needs, for hot loops to hold in locals (registers) rather than reload
    // through the table after every output store.
    struct Lookup {
        const std::uint32_t* table;
        int rootBits;

        // Decodes one symbol; the reader must hold at least kMaxLength bits.
        std::uint32_t decode(BitReader& in) const { return decodeWith(in, rootBits); }
        // The same for a root width known when compiling, which saves a little in hot loops.
        template <int RootBits> std::uint32_t decode(BitReader& in) const {
            return decodeWith(in, RootBits);
        }

    private:
        std::uint32_t decodeWith(BitReader& in, int root) const {
            std::uint32_t entry = table[in.peek(root)];
            if (entry & kSubTable) {
                const int subBits = (entry >> 16) & 0x1F;
                const std::uint32_t index = in.peek(root + subBits) & ((1u << subBits) - 1);
                entry = table[(entry & 0xFFFF) + index];
            }
            in.skip((entry >> 16) & 0x1F);
            return entry & 0xFFFF;
        }
    };
    // Stays valid as long as the table lives, across builds.
    Lookup lookup() const { return {table_.data(), rootBits_}; }
    std::uint32_t decode(BitReader& in) const { return lookup().decode(in); }

private:
    // Entry: symbol in bits 0-15 and code length in bits 16-20; or, with kSubTable set,
    // the sub-table's offset in bits 0-15 and its index width in bits 16-20.
    static constexpr std::uint32_t kSubTable = 0x80000000u;

    int symbols_;
    int rootBits_;
    std::vector<std::uint32_t> table_;  // root table, then the sub-tables
    std::vector<std::uint16_t> sorted_; // symbols ordered by (length, symbol), scratch
};

} // namespace lha
