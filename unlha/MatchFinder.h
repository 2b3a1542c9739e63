// Finding earlier copies of the bytes ahead in a file being packed: hash chains over the
// positions of three-byte strings.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

namespace lha {

struct Match {
    std::uint32_t length = 0;   // 0 when there is none
    std::uint32_t distance = 0; // how far back the copy starts
};

class MatchFinder {
public:
    static constexpr std::uint32_t kMinMatch = 3;

    // Matches reach back at most `window` bytes (a power of two).
    explicit MatchFinder(std::uint32_t window);

    // Starts a file of `size` bytes held in `data`: every position is forgotten.
    void reset(const std::uint8_t* data, std::uint64_t size);
    // The data moved `shift` bytes towards its start (the oldest bytes were dropped).
    void slide(std::uint32_t shift);

    // Records position `at`, which has at least kMinMatch bytes after it.
    void insert(std::uint32_t at) {
        const std::uint32_t h = hash(at);
        prev_[at & mask_] = head_[h];
        head_[h] = at + 1;
    }
    // The longest match for position `at` of at most `maxLength` bytes (at least kMinMatch
    // of them after `at`), among `depth` candidates, the nearest of that length; the search
    // stops at `nice` bytes. Records `at`.
    Match longest(std::uint32_t at, std::uint32_t maxLength, int depth, std::uint32_t nice);
    // Every match for position `at` that is longer than the ones nearer to it, nearest first
    // (so with rising lengths), at most kMaxAll of them; returns their number. Records `at`.
    static constexpr int kMaxAll = 24;
    int all(std::uint32_t at, std::uint32_t maxLength, int depth, Match* out);

private:
    std::uint32_t hash(std::uint32_t at) const {
        const std::uint8_t* p = data_ + at;
        const std::uint32_t key = p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16;
        return (key * 0x9E3779B1u) >> hashShift_;
    }

    std::uint32_t window_;
    std::uint32_t mask_;
    int hashShift_ = 32;
    const std::uint8_t* data_ = nullptr;
    std::unique_ptr<std::uint32_t[]> head_; // per hash: the last position + 1, 0 for none
    std::unique_ptr<std::uint32_t[]> prev_; // per position in the window: the one before + 1
};

// How many of the first `limit` bytes at `a` and `b` are equal.
inline std::uint32_t commonLength(const std::uint8_t* a, const std::uint8_t* b,
                                  std::uint32_t limit) {
    std::uint32_t n = 0;
    while (n + 8 <= limit) {
        std::uint64_t x, y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y) return n + static_cast<std::uint32_t>(__builtin_ctzll(x ^ y) >> 3);
        n += 8;
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

} // namespace lha
