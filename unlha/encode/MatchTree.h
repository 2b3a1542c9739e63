// Finding every useful earlier copy of the bytes ahead, for the near-optimal parser: per
// four-byte hash a binary tree of its positions, ordered by the bytes that follow them, and
// the last position of each three-byte string.
#pragma once

#include "PositionHash.h"

namespace lha {

class MatchTree : public PositionHash {
public:
    static constexpr int kMaxAll = 24;

    // Matches reach back at most `window` bytes (a power of two).
    explicit MatchTree(std::uint32_t window) : PositionHash(window, kLinks) {}

    // Every match for position `at` that is longer than the ones nearer to it, nearest first
    // (so with rising lengths), none longer than `maxLength`, at most kMaxAll of them (the
    // longest); returns their number. `limit`: the bytes after `at` that may be compared, at
    // least kHashBytes. At most `depth` positions are compared. Records `at`.
    int all(std::uint32_t at, std::uint32_t limit, std::uint32_t maxLength, int depth, Match* out);
    // Records position `at` as all() does, without the matches.
    void insert(std::uint32_t at, std::uint32_t limit, int depth);

private:
    static constexpr std::size_t kLinks = 2; // the subtrees before and after
    // Makes `at` the root of its tree, handing each match found on the way that is longer
    // than the last one reported to `report(length, distance)`.
    template <class Report>
    void walk(std::uint32_t at, std::uint32_t limit, int depth, Report report);
};

} // namespace lha
