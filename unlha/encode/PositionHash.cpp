// Hash tables sized for the file: a small file needs a small table, which is quicker to clear.
#include "PositionHash.h"

#include <algorithm>
#include <bit>

namespace lha {
namespace {

constexpr int kMaxHashBits = 16;
constexpr int kMax3HashBits = 14;
constexpr int kMinHashBits = 10;

} // namespace

PositionHash::PositionHash(std::uint32_t window, std::size_t linksPerPosition)
    : window_(window), mask_(linksPerPosition == 1 ? window - 1 : 2 * window - 1),
      linksPerPosition_(linksPerPosition),
      recent3_(new std::uint32_t[1u << kMax3HashBits]),
      head_(new std::uint32_t[1u << kMaxHashBits]),
      links_(new std::uint32_t[period() * linksPerPosition_]) {}

void PositionHash::reset(const std::uint8_t* data, std::uint64_t size) {
    data_ = data;
    const int bits = std::clamp(static_cast<int>(std::bit_width(size)), kMinHashBits, kMaxHashBits);
    hashShift_ = 32 - bits;
    hash3Shift_ = 32 - std::min(bits, kMax3HashBits);
    std::fill_n(head_.get(), std::size_t{1} << bits, 0u);
    std::fill_n(recent3_.get(), std::size_t{1} << (32 - hash3Shift_), 0u);
}

void PositionHash::slide(std::uint32_t shift) {
    const auto move = [shift](std::uint32_t& at) { at = at > shift ? at - shift : 0; };
    std::for_each(head_.get(), head_.get() + (std::size_t{1} << (32 - hashShift_)), move);
    std::for_each(recent3_.get(), recent3_.get() + (std::size_t{1} << (32 - hash3Shift_)), move);
    std::for_each(links_.get(), links_.get() + period() * linksPerPosition_, move);
}

} // namespace lha
