// Decoding -lzs-.
#include "LzsDecoder.h"

namespace lha {
namespace {

constexpr std::uint32_t kRingMask = 2048 - 1;
constexpr std::uint32_t kFirstWrite = 2031; // ring index of the first output byte

} // namespace

Status LzsDecoder::decode(BitReader& in, OutputWindow& out) {
    // The ring starts as spaces, which is what OutputWindow puts before the first byte.
    std::uint32_t ring = kFirstWrite; // ring index of the next output byte
    while (!out.done()) {
        std::uint8_t* cursor = out.cursor();
        std::uint8_t* const limit = out.limit();
        while (cursor < limit) {
            in.refill();
            const bool literal = in.peek(1) != 0;
            in.skip(1);
            if (literal) {
                *cursor++ = static_cast<std::uint8_t>(in.peek(8));
                in.skip(8);
                ++ring;
                continue;
            }
            const std::uint32_t position = in.peek(11);
            in.skip(11);
            const std::uint32_t length = in.peek(4) + 2;
            in.skip(4);
            copyFromRing(cursor, ring, position, length, kRingMask);
        }
        if (const Status status = endRun(in, out, cursor); status != Status::Ok) return status;
    }
    return Status::Ok;
}

} // namespace lha
