// Decoding -lh1-.
#include "Lh1Decoder.h"

#include <array>

namespace lha {
namespace {

constexpr int kPositionSymbols = 64;

constexpr std::array<std::uint8_t, kPositionSymbols> makePositionLengths() {
    // Lengths 3, 4, 5, 6, 7, 8 for 1, 3, 8, 12, 24, 16 symbols in turn.
    constexpr int counts[] = {1, 3, 8, 12, 24, 16};
    std::array<std::uint8_t, kPositionSymbols> lengths{};
    int symbol = 0;
    for (int i = 0; i < 6; ++i)
        for (int k = 0; k < counts[i]; ++k)
            lengths[symbol++] = static_cast<std::uint8_t>(3 + i);
    return lengths;
}

constexpr std::array<std::uint8_t, kPositionSymbols> kPositionLengths = makePositionLengths();

} // namespace

const std::uint8_t* Lh1Decoder::positionLengths() {
    return kPositionLengths.data();
}

Lh1Decoder::Lh1Decoder() : positionCode_(kPositionSymbols, 8) {
    positionCode_.build(kPositionLengths.data());
}

Status Lh1Decoder::decode(BitReader& in, OutputWindow& out) {
    symbols_.reset();
    while (!out.done()) {
        std::uint8_t* cursor = out.cursor();
        std::uint8_t* const limit = out.limit();
        while (cursor < limit) {
            in.refill();
            const int symbol = symbols_.decode(in);
            if (symbol < 0) return in.failure();
            if (symbol < 256) {
                *cursor++ = static_cast<std::uint8_t>(symbol);
                continue;
            }
            in.refill();
            const std::uint32_t high = positionCode_.decode(in);
            const std::uint32_t distance = ((high << 6) | in.peek(6)) + 1;
            in.skip(6);
            const auto length = static_cast<std::size_t>(symbol - 256 + 3);
            copyMatch(cursor, distance, length);
            cursor += length;
        }
        if (const Status status = endRun(in, out, cursor); status != Status::Ok) return status;
    }
    return Status::Ok;
}

} // namespace lha
