// Binary trees of positions. Each new position becomes the root of its hash's tree, so the
// nodes below one are older than it, and a walk from the root meets them nearest first. On
// the way down the old tree is split into the positions whose bytes sort before the new
// one's and those that sort after; the two halves become its children.
#include "MatchTree.h"

#include <algorithm>

namespace lha {

template <class Report>
void MatchTree::walk(std::uint32_t at, std::uint32_t limit, int depth, Report report) {
    const Slots slots = slotsOf(at);
    const std::uint8_t* const here = data_ + at;
    std::uint32_t longest = kMinMatch - 1;
    const auto found = [&](std::uint32_t length, std::uint32_t distance) {
        if (length <= longest) return;
        longest = length;
        report(length, distance);
    };
    // The nearest three-byte string first: the trees hold four-byte ones.
    if (const std::uint32_t recent = *slots.recent; recent != 0 && at - (recent - 1) <= window_)
        found(commonLength(here, data_ + recent - 1, limit), at - (recent - 1));
    *slots.recent = at + 1;

    std::uint32_t candidate = *slots.head;
    *slots.head = at + 1;
    // The links still to be set: where the next position sorting before the new one goes,
    // and where the next one sorting after it goes; and how many bytes the positions on each
    // side are known to share with the new one.
    std::uint32_t* before = linksOf<kLinks>(at);
    std::uint32_t* after = before + 1;
    std::uint32_t beforeLength = 0, afterLength = 0;
    while (true) {
        const std::uint32_t from = candidate - 1;
        if (candidate == 0 || at - from > window_ || depth-- == 0) {
            *before = *after = 0;
            return;
        }
        std::uint32_t* const links = linksOf<kLinks>(from);
        const std::uint8_t* const there = data_ + from;
        std::uint32_t length = std::min(beforeLength, afterLength);
        if (there[length] == here[length]) {
            length += commonLength(here + length, there + length, limit - length);
            found(length, at - from);
            if (length == limit) {
                // Equal as far as compared: the new position takes its place in the tree.
                *before = links[0];
                *after = links[1];
                return;
            }
        }
        if (there[length] < here[length]) {
            *before = candidate;
            before = links + 1;
            candidate = *before;
            beforeLength = length;
        } else {
            *after = candidate;
            after = links;
            candidate = *after;
            afterLength = length;
        }
    }
}

int MatchTree::all(std::uint32_t at, std::uint32_t limit, std::uint32_t maxLength, int depth,
                   Match* out) {
    int count = 0;
    walk(at, limit, depth, [&](std::uint32_t length, std::uint32_t distance) {
        length = std::min(length, maxLength);
        if (count > 0 && out[count - 1].length >= length) return;
        if (count == kMaxAll) --count; // keep the longest
        out[count++] = {length, distance};
    });
    return count;
}

void MatchTree::insert(std::uint32_t at, std::uint32_t limit, int depth) {
    walk(at, limit, depth, [](std::uint32_t, std::uint32_t) {});
}

} // namespace lha
