// Updating and walking the adaptive Huffman tree of -lh1-.
#include "AdaptiveHuffman.h"

#include <algorithm>

namespace lha {

void AdaptiveHuffman::reset() {
    for (int s = 0; s < kSymbols; ++s) {
        frequency_[s] = 1;
        child_[s] = kNodes + s;
        parent_[kNodes + s] = s;
    }
    for (int first = 0, node = kSymbols; node < kNodes; first += 2, ++node) {
        frequency_[node] = frequency_[first] + frequency_[first + 1];
        child_[node] = first;
        parent_[first] = parent_[first + 1] = node;
    }
    frequency_[kNodes] = 0xFFFFFFFF;
    parent_[kRoot] = 0;
}

void AdaptiveHuffman::rebuild() {
    // Leaves first, in index order, with halved frequencies.
    int leaves = 0;
    for (int n = 0; n < kNodes; ++n) {
        if (child_[n] >= kNodes) {
            frequency_[leaves] = (frequency_[n] + 1) / 2;
            child_[leaves] = child_[n];
            ++leaves;
        }
    }
    // Pair them up; each new parent goes after every node of no greater frequency.
    for (int first = 0, node = kSymbols; node < kNodes; first += 2, ++node) {
        const std::uint32_t f = frequency_[first] + frequency_[first + 1];
        int at = node;
        while (at > 0 && frequency_[at - 1] > f)
            --at;
        std::copy_backward(frequency_.begin() + at, frequency_.begin() + node,
                           frequency_.begin() + node + 1);
        std::copy_backward(child_.begin() + at, child_.begin() + node, child_.begin() + node + 1);
        frequency_[at] = f;
        child_[at] = first;
    }
    for (int n = 0; n < kNodes; ++n) {
        const int c = child_[n];
        if (c >= kNodes) {
            parent_[c] = n;
        } else {
            parent_[c] = parent_[c + 1] = n;
        }
    }
}

void AdaptiveHuffman::update(int symbol) {
    if (frequency_[kRoot] == kMaxFrequency) rebuild();
    int node = parent_[kNodes + symbol];
    do {
        const std::uint32_t f = ++frequency_[node];
        if (f > frequency_[node + 1]) {
            // Swap with the last node of smaller frequency to keep the order.
            int other = node + 1;
            while (f > frequency_[other + 1])
                ++other;
            frequency_[node] = frequency_[other];
            frequency_[other] = f;

            const int a = child_[node];
            parent_[a] = other;
            if (a < kNodes) parent_[a + 1] = other;
            const int b = child_[other];
            child_[other] = a;
            parent_[b] = node;
            if (b < kNodes) parent_[b + 1] = node;
            child_[node] = b;
            node = other;
        }
        node = parent_[node];
    } while (node != 0);
}

int AdaptiveHuffman::decode(BitReader& in) {
    int node = child_[kRoot];
    int depth = 0;
    while (node < kNodes) {
        if (depth++ == kMaxDepth) return -1;
        node = child_[node + static_cast<int>(in.peek(1))];
        in.skip(1);
    }
    const int symbol = node - kNodes;
    update(symbol);
    return symbol;
}

void AdaptiveHuffman::code(int symbol, std::uint32_t& bits, int& length) const {
    bits = 0;
    length = 0;
    for (int node = parent_[kNodes + symbol]; node != kRoot;) {
        // A node's second child (bit 1) sits right after its first.
        const int up = parent_[node];
        bits |= static_cast<std::uint32_t>(node == child_[up] ? 0 : 1) << length;
        ++length;
        node = up;
    }
}

} // namespace lha
