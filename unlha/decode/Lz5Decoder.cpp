// Decoding -lz5-.
#include "Lz5Decoder.h"

#include <array>

namespace lha {
namespace {

constexpr std::uint32_t kRingSize = 4096;
constexpr std::uint32_t kRingMask = kRingSize - 1;
constexpr std::uint32_t kFirstWrite = 4078; // ring index of the first output byte

// The ring's preset contents, which matches of the first bytes may refer to.
constexpr std::array<std::uint8_t, kRingSize> makeRing() {
    std::array<std::uint8_t, kRingSize> ring{};
    std::uint32_t i = 0;
    for (std::uint32_t value = 0; value < 256; ++value)
        for (int k = 0; k < 13; ++k)
            ring[i++] = static_cast<std::uint8_t>(value);
    for (std::uint32_t value = 0; value < 256; ++value)
        ring[i++] = static_cast<std::uint8_t>(value);
    for (std::uint32_t value = 256; value-- > 0;)
        ring[i++] = static_cast<std::uint8_t>(value);
    i += 128; // zeros
    for (int k = 0; k < 110; ++k)
        ring[i++] = ' ';
    return ring; // the last 18 bytes stay zero
}

constexpr std::array<std::uint8_t, kRingSize> kRing = makeRing();

} // namespace

Status Lz5Decoder::decode(BitReader& in, OutputWindow& out) {
    // The dictionary holds the ring as seen from the first output byte: the byte d places back
    // is ring[(kFirstWrite - d) mod 4096].
    std::uint8_t* const dictionary = out.dictionary();
    for (std::uint32_t k = 0; k < kRingSize; ++k)
        dictionary[k] = kRing[(k + kFirstWrite) & kRingMask];

    std::uint32_t ring = kFirstWrite; // ring index of the next output byte
    std::uint32_t flags = 0;          // flag bits of the current group, next in bit 0
    int flagsLeft = 0;
    while (!out.done()) {
        std::uint8_t* cursor = out.cursor();
        std::uint8_t* const limit = out.limit();
        while (cursor < limit) {
            in.refill();
            if (flagsLeft == 0) {
                flags = in.peek(8);
                in.skip(8);
                flagsLeft = 8;
            }
            const bool literal = (flags & 1) != 0;
            flags >>= 1;
            --flagsLeft;
            if (literal) {
                *cursor++ = static_cast<std::uint8_t>(in.peek(8));
                in.skip(8);
                ++ring;
                continue;
            }
            const std::uint32_t low = in.peek(8);
            in.skip(8);
            const std::uint32_t high = in.peek(8);
            in.skip(8);
            const std::uint32_t position = low | ((high & 0xF0) << 4);
            const std::uint32_t length = (high & 0x0F) + 3;
            copyFromRing(cursor, ring, position, length, kRingMask);
        }
        if (const Status status = endRun(in, out, cursor); status != Status::Ok) return status;
    }
    return Status::Ok;
}

} // namespace lha
