// Finding earlier copies of the bytes ahead in a file being packed: hash chains over the
// positions of four-byte strings, and the last position of each three-byte string.
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
    // Bytes a position needs after it to be recorded or searched.
    static constexpr std::uint32_t kHashBytes = 4;

    // Matches reach back at most `window` bytes (a power of two).
    explicit MatchFinder(std::uint32_t window);

    // Starts a file of `size` bytes held in `data`: every position is forgotten.
    void reset(const std::uint8_t* data, std::uint64_t size);
    // The data moved `shift` bytes towards its start (the oldest bytes were dropped).
    void slide(std::uint32_t shift);

    // Records position `at`, which has at least kHashBytes bytes after it.
    void insert(std::uint32_t at) { record(at, slotsOf(at)); }
    // The longest match for position `at` (with kHashBytes bytes after it) of at most
    // `maxLength` (at least kMinMatch) bytes, among `depth` candidates, the nearest of that
    // length; the search stops at `nice` bytes. Records `at`.
    Match longest(std::uint32_t at, std::uint32_t maxLength, int depth, std::uint32_t nice);
    // Every match for position `at` that is longer than the ones nearer to it, nearest first
    // (so with rising lengths), at most kMaxAll of them; returns their number. Records `at`.
    static constexpr int kMaxAll = 24;
    int all(std::uint32_t at, std::uint32_t maxLength, int depth, Match* out);

private:
    // Walks the earlier copies of the bytes at `at`, nearest first: the last three-byte
    // string, then at most `depth` links of the chain. Hands each match longer than all before
    // it to `take(length, distance)`, which says whether to stop. Records `at`.
    template <class Take>
    void walk(std::uint32_t at, std::uint32_t maxLength, int depth, Take take);

    std::uint32_t keyAt(std::uint32_t at) const {
        const std::uint8_t* p = data_ + at;
        return p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
               std::uint32_t{p[3]} << 24;
    }
    std::uint32_t hash3(std::uint32_t key) const {
        return ((key & 0xFFFFFF) * 0x9E3779B1u) >> hash3Shift_;
    }
    std::uint32_t hash4(std::uint32_t key) const { return (key * 0x9E3779B1u) >> hashShift_; }
    // The last position of the three-byte string at `at` and the first link of its chain,
    // both + 1; record() then adds `at`.
    struct Slots {
        std::uint32_t* recent;
        std::uint32_t* chain;
    };
    Slots slotsOf(std::uint32_t at) {
        const std::uint32_t key = keyAt(at);
        return {&recent3_[hash3(key)], &head_[hash4(key)]};
    }
    void record(std::uint32_t at, const Slots& slots) {
        *slots.recent = at + 1;
        prev_[at & mask_] = *slots.chain;
        *slots.chain = at + 1;
    }

    std::uint32_t window_;
    std::uint32_t mask_;
    int hashShift_ = 32;
    int hash3Shift_ = 32;
    const std::uint8_t* data_ = nullptr;
    std::unique_ptr<std::uint32_t[]> recent3_; // per three-byte hash: the last position + 1
    std::unique_ptr<std::uint32_t[]> head_;    // per four-byte hash: the last position + 1
    std::unique_ptr<std::uint32_t[]> prev_;    // per position in the window: the one before + 1
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
