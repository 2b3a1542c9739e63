// Building the lookup tables of a canonical Huffman code.
#include "HuffmanTable.h"

#include <algorithm>

namespace lha {

HuffmanTable::HuffmanTable(int symbols, int rootBits)
    : symbols_(symbols), rootBits_(rootBits),
      // Each long code's root prefix gets at most one sub-table of at most 2^(16-root) entries.
      table_((std::size_t{1} << rootBits) +
             static_cast<std::size_t>(std::min(symbols, 1 << rootBits)) *
                 (std::size_t{1} << (kMaxLength - rootBits))),
      sorted_(static_cast<std::size_t>(symbols)) {}

void HuffmanTable::buildSingle(std::uint32_t symbol) {
    std::fill_n(table_.begin(), std::size_t{1} << rootBits_, symbol);
}

bool HuffmanTable::build(const std::uint8_t* lengths) {
    int count[kMaxLength + 1] = {};
    for (int s = 0; s < symbols_; ++s) {
        if (lengths[s] > kMaxLength) return false;
        ++count[lengths[s]];
    }
    count[0] = 0;
    int left = 1;
    for (int length = 1; length <= kMaxLength; ++length) {
        left = (left << 1) - count[length];
        if (left < 0) return false;
    }

    int offset[kMaxLength + 2] = {};
    for (int length = 1; length <= kMaxLength; ++length)
        offset[length + 1] = offset[length] + count[length];
    const int used = offset[kMaxLength + 1];
    for (int s = 0; s < symbols_; ++s)
        if (lengths[s] != 0) sorted_[offset[lengths[s]]++] = static_cast<std::uint16_t>(s);

    const std::size_t rootSize = std::size_t{1} << rootBits_;
    // A complete code writes every entry; only an incomplete one leaves gaps to mark.
    const bool complete = left == 0;
    if (!complete) std::fill_n(table_.begin(), rootSize, kInvalid);

    // Canonical codes in (length, symbol) order are increasing once left-aligned, so the codes
    // sharing a root prefix are consecutive and the last of them is the longest.
    std::uint32_t code = 0;
    int length = 1;
    int remainingAtLength = count[1];
    std::size_t nextSubTable = rootSize;
    std::uint32_t subPrefix = ~0u;
    std::size_t subBase = 0;
    int subBits = 0;
    for (int i = 0; i < used; ++i) {
        while (remainingAtLength == 0) {
            code <<= 1;
            remainingAtLength = count[++length];
        }
        const std::uint32_t symbol = sorted_[i];
        if (length <= rootBits_) {
            const int shift = rootBits_ - length;
            const std::uint32_t entry = symbol | (static_cast<std::uint32_t>(length) << 16);
            std::fill_n(table_.begin() + (code << shift), std::size_t{1} << shift, entry);
        } else {
            const std::uint32_t prefix = code >> (length - rootBits_);
            if (prefix != subPrefix) {
                // The longest code of this prefix sets the sub-table's width.
                int last = i;
                int lastLength = length;
                int leftAtLength = remainingAtLength;
                std::uint32_t lastCode = code;
                while (last + 1 < used) {
                    int nextLength = lastLength;
                    std::uint32_t nextCode = lastCode + 1;
                    int nextLeft = leftAtLength - 1;
                    while (nextLeft == 0 && nextLength < kMaxLength) {
                        nextCode <<= 1;
                        nextLeft = count[++nextLength];
                    }
                    if (nextCode >> (nextLength - rootBits_) != prefix) break;
                    ++last;
                    lastLength = nextLength;
                    lastCode = nextCode;
                    leftAtLength = nextLeft;
                }
                subPrefix = prefix;
                subBits = lastLength - rootBits_;
                subBase = nextSubTable;
                nextSubTable += std::size_t{1} << subBits;
                if (!complete)
                    std::fill_n(table_.begin() + subBase, std::size_t{1} << subBits, kInvalid);
                table_[prefix] = kSubTable | static_cast<std::uint32_t>(subBase) |
                                 (static_cast<std::uint32_t>(subBits) << 16);
            }
            const int shift = rootBits_ + subBits - length;
            const std::uint32_t low = code & ((1u << (length - rootBits_)) - 1);
            const std::uint32_t entry = symbol | (static_cast<std::uint32_t>(length) << 16);
            std::fill_n(table_.begin() + subBase + (low << shift), std::size_t{1} << shift, entry);
        }
        ++code;
        --remainingAtLength;
    }
    return true;
}

} // namespace lha
