// The adaptive Huffman code of -lh1-: a frequency-ordered tree updated after every symbol.
#pragma once

#include "BitReader.h"

#include <array>
#include <cstdint>

namespace lha {

class AdaptiveHuffman {
public:
    static constexpr int kSymbols = 314; // literals 0-255, match lengths 3-60

    AdaptiveHuffman() { reset(); }
    // Back to the initial tree: every symbol with frequency 1.
    void reset();
    // Decodes one symbol (the reader must hold at least kMaxDepth bits) and updates the tree;
    // -1 if the tree has grown deeper than any valid stream makes it.
    int decode(BitReader& in);
    // The current code of `symbol`, first bit in the highest of `length` bits; for encoders.
    void code(int symbol, std::uint32_t& bits, int& length) const;
    // Counts `symbol` once more and restores the tree's ordering.
    void update(int symbol);

    // Frequencies stop at 0x8000 at the root, which bounds the depth of the tree (a
    // Fibonacci-like chain of 24 nodes already outweighs it).
    static constexpr int kMaxDepth = 32;

private:
    static constexpr int kNodes = 2 * kSymbols - 1;
    static constexpr int kRoot = kNodes - 1;
    static constexpr std::uint32_t kMaxFrequency = 0x8000;

    void rebuild();

    // Nodes are kept in non-decreasing frequency order, the root last.
    std::array<std::uint32_t, kNodes + 1> frequency_{}; // one extra entry stops upward scans
    std::array<int, kNodes> child_{}; // first child of an inner node; kNodes + symbol at a leaf
    std::array<int, kNodes + kSymbols>
        parent_{}; // parent of node n, and of leaf symbol s at kNodes + s
};

} // namespace lha
