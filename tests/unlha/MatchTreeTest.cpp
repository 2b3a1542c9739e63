// The near-optimal parser's match search against a brute-force one: every match it reports is
// a real copy within the window, nearest first with rising lengths, and no longest match of
// four bytes or more is missed, also after the data has slid along as the encoder slides it.
#include "MatchTree.h"
#include "SampleData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace lha::test {
namespace {

constexpr std::uint32_t kWindow = 1024;
constexpr std::uint32_t kMaxLength = 256;

// The longest copy of the bytes at `at` that starts at most kWindow bytes back.
std::uint32_t longestByHand(const std::uint8_t* data, std::uint32_t at, std::uint32_t limit) {
    std::uint32_t longest = 0;
    for (std::uint32_t distance = 1; distance <= std::min(at, kWindow); ++distance)
        longest = std::max(longest, commonLength(data + at, data + at - distance, limit));
    return longest;
}

TEST(MatchTree, FindsTheLongestMatchesNearestFirst) {
    // Text with copies far and near, a run, noise, and the start again one window on.
    std::string file = text(3000, 1) + std::string(600, 'a') + noise(700, 2) + text(4000, 3);
    file += file.substr(file.size() - kWindow, 300);
    const std::uint32_t size = static_cast<std::uint32_t>(file.size());

    // The encoder's buffer: the window's history, then the bytes ahead; it slides by whole
    // periods, keeping at least a window behind the position searched.
    std::vector<std::uint8_t> buffer(file.begin(), file.end());
    MatchTree tree(kWindow);
    tree.reset(buffer.data(), size);
    std::uint32_t dropped = 0; // bytes of the file slid out of the buffer
    Match found[MatchTree::kMaxAll];
    for (std::uint32_t position = 0; position + PositionHash::kHashBytes <= size; ++position) {
        std::uint32_t at = position - dropped;
        if (at > kWindow + tree.period()) {
            const std::uint32_t shift = (at - kWindow) / tree.period() * tree.period();
            std::memmove(buffer.data(), buffer.data() + shift, buffer.size() - shift);
            tree.slide(shift);
            dropped += shift;
            at -= shift;
        }
        const std::uint32_t limit = std::min(kMaxLength, size - position);
        // Every fifth position with a shorter reach, as near a segment's end.
        const std::uint32_t maxLength = position % 5 == 0 ? std::min(limit, 10u) : limit;
        const int n = tree.all(at, limit, maxLength, 1 << 20, found);

        const std::uint8_t* const data = buffer.data();
        for (int k = 0; k < n; ++k) {
            ASSERT_LE(found[k].distance, std::min(at, kWindow)) << position;
            ASSERT_LE(found[k].length, maxLength) << position;
            ASSERT_EQ(commonLength(data + at, data + at - found[k].distance, found[k].length),
                      found[k].length)
                << position;
            if (k > 0) {
                ASSERT_GT(found[k].length, found[k - 1].length) << position;
                ASSERT_GT(found[k].distance, found[k - 1].distance) << position;
            }
        }
        // A three-byte copy is found only through the last string of its hash, which a
        // string of another hash may have taken.
        const std::uint32_t longest = std::min(longestByHand(data, at, limit), maxLength);
        const std::uint32_t got = n == 0 ? 0 : found[n - 1].length;
        if (longest > PositionHash::kMinMatch)
            ASSERT_EQ(got, longest) << "position " << position;
        else
            ASSERT_TRUE(got == 0 || got == longest) << "position " << position;
    }
}

} // namespace
} // namespace lha::test
