// What both match finders keep of the positions before the one being packed: per three-byte
// string its last position, per four-byte hash the newest position of a chain or tree, and
// the links of each position. Positions are stored + 1, 0 meaning none.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

namespace lha {

struct Match {
    std::uint32_t length = 0;   // 0 when there is none
    std::uint32_t distance = 0; // how far back the copy starts
};

class PositionHash {
public:
    static constexpr std::uint32_t kMinMatch = 3;
    // Bytes a position needs after it to be recorded or searched.
    static constexpr std::uint32_t kHashBytes = 4;

    // Starts a file of `size` bytes held in `data`: every position is forgotten.
    void reset(const std::uint8_t* data, std::uint64_t size);
    // The data moved `shift` bytes, a multiple of period(), towards its start (the oldest
    // bytes were dropped): each link keeps its slot.
    void slide(std::uint32_t shift);
    std::uint32_t period() const { return mask_ + 1; }

protected:
    // `window`: a power of two; `linksPerPosition`: the links each position has, 1 for chains
    // and 2 for trees. A chain is walked before the position one window back gives up its
    // slot; a tree keeps that position's links while the new one's are set, so its slots go
    // by position modulo two windows.
    PositionHash(std::uint32_t window, std::size_t linksPerPosition);

    // The slots of the bytes at `at`: the last position of its three-byte string, and the
    // newest of its four-byte hash.
    struct Slots {
        std::uint32_t* recent;
        std::uint32_t* head;
    };
    Slots slotsOf(std::uint32_t at) {
        const std::uint8_t* p = data_ + at;
        const std::uint32_t key = p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                                  std::uint32_t{p[3]} << 24;
        return {&recent3_[((key & 0xFFFFFF) * 0x9E3779B1u) >> hash3Shift_],
                &head_[(key * 0x9E3779B1u) >> hashShift_]};
    }
    // Where the links of position `at` are; `Links` is the finder's links per position (a
    // constant, which keeps this quick in the search loops).
    template <std::size_t Links>
    std::uint32_t* linksOf(std::uint32_t at) {
        return &links_[(at & mask_) * Links];
    }

    std::uint32_t window_;
    const std::uint8_t* data_ = nullptr;

private:
    std::uint32_t mask_;
    std::size_t linksPerPosition_;
    int hashShift_ = 32;
    int hash3Shift_ = 32;
    std::unique_ptr<std::uint32_t[]> recent3_;
    std::unique_ptr<std::uint32_t[]> head_;
    std::unique_ptr<std::uint32_t[]> links_;
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
