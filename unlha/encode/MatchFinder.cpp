// Hash-chain search: each position links to the one before it with the same four-byte hash.
// A position is recorded after its chain is walked: its link takes the slot of the position
// one window back, which the walk may still reach.
#include "MatchFinder.h"

#include <algorithm>

namespace lha {

Match MatchFinder::longest(std::uint32_t at, std::uint32_t maxLength, int depth,
                           std::uint32_t nice) {
    const Slots slots = slotsOf(at);
    const std::uint32_t recent = *slots.recent;
    std::uint32_t candidate = *slots.head;
    nice = std::min(nice, maxLength);
    const std::uint8_t* const here = data_ + at;
    Match best;
    std::uint32_t bestLength = kMinMatch - 1;
    // The nearest three-byte string first: the chains hold four-byte ones.
    if (recent != 0 && at - (recent - 1) <= window_) {
        const std::uint32_t length = commonLength(here, data_ + recent - 1, maxLength);
        if (length >= kMinMatch) {
            bestLength = length;
            best = {length, at - (recent - 1)};
        }
    }
    while (bestLength < nice && candidate != 0 && depth-- > 0) {
        const std::uint32_t from = candidate - 1;
        const std::uint32_t distance = at - from;
        if (distance > window_) break;
        const std::uint8_t* const there = data_ + from;
        candidate = *linksOf<kLinks>(from);
        if (there[bestLength] != here[bestLength] || there[0] != here[0]) continue;
        const std::uint32_t length = commonLength(here, there, maxLength);
        if (length > bestLength) {
            bestLength = length;
            best = {length, distance};
        }
    }
    record(at, slots);
    return best;
}

} // namespace lha
