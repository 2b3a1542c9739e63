// Huffman code lengths by the in-place method of Moffat and Katajainen, limited by moving
// leaves up from below the limit until the code is complete again, then canonical codes.
#include "HuffmanEncoder.h"

#include <algorithm>
#include <cstring>

namespace lha {
namespace {

// Turns `weights`, sorted ascending, into code lengths of the same order, in place.
void inPlaceLengths(std::uint32_t* a, int n) {
    a[0] += a[1];
    int root = 0;
    int leaf = 2;
    for (int next = 1; next < n - 1; ++next) {
        if (leaf >= n || a[root] < a[leaf]) {
            a[next] = a[root];
            a[root++] = static_cast<std::uint32_t>(next);
        } else {
            a[next] = a[leaf++];
        }
        if (leaf >= n || (root < next && a[root] < a[leaf])) {
            a[next] += a[root];
            a[root++] = static_cast<std::uint32_t>(next);
        } else {
            a[next] += a[leaf++];
        }
    }
    a[n - 2] = 0;
    for (int next = n - 3; next >= 0; --next)
        a[next] = a[a[next]] + 1;
    int available = 1;
    int usedAtDepth = 0;
    std::uint32_t depth = 0;
    root = n - 2;
    int next = n - 1;
    while (available > 0) {
        while (root >= 0 && a[root] == depth) {
            ++usedAtDepth;
            --root;
        }
        while (available > usedAtDepth) {
            a[next--] = depth;
            --available;
        }
        available = 2 * usedAtDepth;
        ++depth;
        usedAtDepth = 0;
    }
}

} // namespace

void HuffmanCode::build(const std::uint32_t* frequencies, int symbols, int maxLength) {
    std::memset(lengths, 0, sizeof lengths);
    std::memset(codes, 0, sizeof codes);
    // Symbols in use, sorted by frequency and then by symbol: (frequency << 16) | symbol.
    std::uint64_t order[kMaxSymbols];
    used = 0;
    count = 0;
    for (int s = 0; s < symbols; ++s) {
        if (frequencies[s] == 0) continue;
        order[used++] = (std::uint64_t{frequencies[s]} << 16) | static_cast<std::uint64_t>(s);
        count = s + 1;
    }
    if (used < 2) {
        single = used == 1 ? static_cast<int>(order[0] & 0xFFFF) : 0;
        return;
    }
    std::sort(order, order + used);
    std::uint32_t depth[kMaxSymbols] = {};
    for (int i = 0; i < used; ++i)
        depth[i] = static_cast<std::uint32_t>(order[i] >> 16);
    inPlaceLengths(depth, used);

    // depth[] now falls as frequencies rise. Count the leaves per length, the too long ones
    // at the limit, then split leaves above the limit until the lengths fill the code space
    // exactly.
    int perLength[33] = {};
    for (int i = 0; i < used; ++i)
        ++perLength[std::min<int>(static_cast<int>(depth[i]), maxLength)];
    std::uint64_t space = 0;
    for (int length = 1; length <= maxLength; ++length)
        space += static_cast<std::uint64_t>(perLength[length]) << (maxLength - length);
    while (space > (std::uint64_t{1} << maxLength)) {
        --perLength[maxLength];
        for (int length = maxLength - 1; length > 0; --length) {
            if (perLength[length] != 0) {
                --perLength[length];
                perLength[length + 1] += 2;
                break;
            }
        }
        --space;
    }
    // The longest codes go to the rarest symbols.
    int i = 0;
    for (int length = maxLength; length > 0; --length)
        for (int k = 0; k < perLength[length]; ++k)
            lengths[order[i++] & 0xFFFF] = static_cast<std::uint8_t>(length);

    int first[33] = {};
    int code = 0;
    int lengthCount[33] = {};
    for (int s = 0; s < count; ++s)
        ++lengthCount[lengths[s]];
    lengthCount[0] = 0;
    for (int length = 1; length <= maxLength; ++length) {
        code = (code + lengthCount[length - 1]) << 1;
        first[length] = code;
    }
    for (int s = 0; s < count; ++s)
        if (lengths[s] != 0) codes[s] = static_cast<std::uint16_t>(first[lengths[s]]++);
}

} // namespace lha
