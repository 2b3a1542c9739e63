// Finding the longest earlier copy of the bytes ahead, for the lazy parser: hash chains over
// the positions of four-byte strings, and the last position of each three-byte string.
#pragma once

#include "PositionHash.h"

namespace lha {

class MatchFinder : public PositionHash {
public:
    // Matches reach back at most `window` bytes (a power of two).
    explicit MatchFinder(std::uint32_t window) : PositionHash(window, kLinks) {}

    // Records position `at`, which has at least kHashBytes bytes after it.
    void insert(std::uint32_t at) { record(at, slotsOf(at)); }
    // The longest match for position `at` (with kHashBytes bytes after it) of at most
    // `maxLength` (at least kMinMatch) bytes, among `depth` candidates, the nearest of that
    // length; the search stops at `nice` bytes. Records `at`.
    Match longest(std::uint32_t at, std::uint32_t maxLength, int depth, std::uint32_t nice);

private:
    static constexpr std::size_t kLinks = 1; // the next older position
    void record(std::uint32_t at, const Slots& slots) {
        *slots.recent = at + 1;
        *linksOf<kLinks>(at) = *slots.head;
        *slots.head = at + 1;
    }
};

} // namespace lha
