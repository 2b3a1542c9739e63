// Hash-chain search. A position is recorded after its chain is walked: its link takes the slot
// of the position one window back, which the walk may still reach.
#include "MatchFinder.h"

#include <algorithm>
#include <bit>

namespace lha {
namespace {

constexpr int kMaxHashBits = 16;
constexpr int kMax3HashBits = 14;
constexpr int kMinHashBits = 10;

} // namespace

MatchFinder::MatchFinder(std::uint32_t window)
    : window_(window), mask_(window - 1), recent3_(new std::uint32_t[1u << kMax3HashBits]),
      head_(new std::uint32_t[1u << kMaxHashBits]), prev_(new std::uint32_t[window]) {}

void MatchFinder::reset(const std::uint8_t* data, std::uint64_t size) {
    data_ = data;
    // A small file needs a small table, which is quicker to clear.
    const int bits = std::clamp(static_cast<int>(std::bit_width(size)), kMinHashBits, kMaxHashBits);
    hashShift_ = 32 - bits;
    hash3Shift_ = 32 - std::min(bits, kMax3HashBits);
    std::fill_n(head_.get(), std::size_t{1} << bits, 0u);
    std::fill_n(recent3_.get(), std::size_t{1} << (32 - hash3Shift_), 0u);
}

void MatchFinder::slide(std::uint32_t shift) {
    const auto move = [shift](std::uint32_t& at) { at = at > shift ? at - shift : 0; };
    std::for_each(head_.get(), head_.get() + (std::size_t{1} << (32 - hashShift_)), move);
    std::for_each(recent3_.get(), recent3_.get() + (std::size_t{1} << (32 - hash3Shift_)), move);
    // prev_ is indexed by position modulo the window: moving the positions by a multiple of
    // the window keeps each link in its slot.
    std::for_each(prev_.get(), prev_.get() + window_, move);
}

template <class Take>
void MatchFinder::walk(std::uint32_t at, std::uint32_t maxLength, int depth, Take take) {
    const Slots slots = slotsOf(at);
    const std::uint32_t recent = *slots.recent;
    std::uint32_t candidate = *slots.chain;
    const std::uint8_t* const here = data_ + at;
    std::uint32_t bestLength = kMinMatch - 1;
    bool done = false;
    // The nearest three-byte string first: the chains hold four-byte ones.
    if (recent != 0 && at - (recent - 1) <= window_) {
        const std::uint32_t length = commonLength(here, data_ + recent - 1, maxLength);
        if (length >= kMinMatch) {
            bestLength = length;
            done = take(length, at - (recent - 1));
        }
    }
    while (!done && candidate != 0 && depth-- > 0) {
        const std::uint32_t from = candidate - 1;
        const std::uint32_t distance = at - from;
        if (distance > window_) break;
        const std::uint8_t* const there = data_ + from;
        candidate = prev_[from & mask_];
        if (there[bestLength] != here[bestLength] || there[0] != here[0]) continue;
        const std::uint32_t length = commonLength(here, there, maxLength);
        if (length <= bestLength) continue;
        bestLength = length;
        done = take(length, distance);
    }
    record(at, slots);
}

Match MatchFinder::longest(std::uint32_t at, std::uint32_t maxLength, int depth,
                           std::uint32_t nice) {
    nice = std::min(nice, maxLength);
    Match best;
    walk(at, maxLength, depth, [&](std::uint32_t length, std::uint32_t distance) {
        best = {length, distance};
        return length >= nice;
    });
    return best;
}

int MatchFinder::all(std::uint32_t at, std::uint32_t maxLength, int depth, Match* out) {
    int found = 0;
    walk(at, maxLength, depth, [&](std::uint32_t length, std::uint32_t distance) {
        if (found == kMaxAll) --found; // keep the longest
        out[found++] = {length, distance};
        return length >= maxLength;
    });
    return found;
}

} // namespace lha
