// Decoding -lh4- to -lh7- and -lhx- blocks: three code tables, then the commands.
#include "StaticHuffmanDecoder.h"

#include <algorithm>

namespace lha {
StaticHuffmanDecoder::StaticHuffmanDecoder(int np, int pbit)
    : np_(std::min(np, kMaxNp)), pbit_(pbit), lengthCode_(NT, 8), commandCode_(NC, kCommandRoot),
      positionCode_(kMaxNp, kPositionRoot) {}

int StaticHuffmanDecoder::readLengthCount(BitReader& in, int symbols, int countBits,
                                          HuffmanTable& table) {
    const int count = static_cast<int>(in.read(countBits));
    if (count != 0) return count > symbols ? -1 : count;
    const std::uint32_t only = in.read(countBits);
    if (only >= static_cast<std::uint32_t>(symbols)) return -1;
    table.buildSingle(only);
    return 0;
}

bool StaticHuffmanDecoder::readSmallTable(BitReader& in, int symbols, int countBits,
                                          bool zerosAfterThird, HuffmanTable& table) {
    const int count = readLengthCount(in, symbols, countBits, table);
    if (count <= 0) return count == 0;
    std::uint8_t lengths[kMaxNp] = {};
    int i = 0;
    while (i < count) {
        in.refill();
        int length = static_cast<int>(in.peek(3));
        in.skip(3);
        if (length == 7) {
            // 7 and up: one more per 1-bit, ended by a 0-bit.
            while (in.peek(1) == 1) {
                if (++length > HuffmanTable::kMaxLength) return false;
                in.skip(1);
            }
            in.skip(1);
        }
        lengths[i++] = static_cast<std::uint8_t>(length);
        if (zerosAfterThird && i == 3) {
            const int zeros = static_cast<int>(in.read(2));
            if (i + zeros > symbols) return false;
            i += zeros;
        }
    }
    return table.build(lengths);
}

bool StaticHuffmanDecoder::readCodeTable(BitReader& in) {
    const int count = readLengthCount(in, NC, CBIT, commandCode_);
    if (count <= 0) return count == 0;
    lengths_.fill(0);
    int i = 0;
    while (i < count) {
        in.refill();
        const std::uint32_t symbol = lengthCode_.decode(in);
        if (symbol >= static_cast<std::uint32_t>(NT)) return false;
        if (symbol > 2) {
            lengths_[i++] = static_cast<std::uint8_t>(symbol - 2);
            continue;
        }
        // 0: one zero length; 1: 3-18 zeros; 2: 20-531 zeros.
        const int zeros = symbol == 0   ? 1
                          : symbol == 1 ? static_cast<int>(in.read(4)) + 3
                                        : static_cast<int>(in.read(CBIT)) + 20;
        if (i + zeros > NC) return false;
        i += zeros;
    }
    return commandCode_.build(lengths_.data());
}

std::uint32_t StaticHuffmanDecoder::readBlockHeader(BitReader& in) {
    std::uint32_t commands = in.read(16);
    // A count of 0 wraps to 65536 in the old decoders' 16-bit arithmetic.
    if (commands == 0) commands = 0x10000;
    const bool ok = readSmallTable(in, NT, TBIT, true, lengthCode_) && readCodeTable(in) &&
                    readSmallTable(in, np_, pbit_, false, positionCode_);
    return ok ? commands : 0;
}

Status StaticHuffmanDecoder::decode(BitReader& reader, OutputWindow& out) {
    // The loop works on locals whose addresses are never taken, so that they stay in
    // registers although every output store might alias what is reached through pointers.
    // The block headers, read out of line, work on the caller's reader.
    BitReader in = reader;
    const HuffmanTable::Lookup commandCode = commandCode_.lookup();
    const HuffmanTable::Lookup positionCode = positionCode_.lookup();
    const auto np = static_cast<std::uint32_t>(np_);
    std::uint32_t commands = 0; // left in the current block
    while (!out.done()) {
        std::uint8_t* cursor = out.cursor();
        std::uint8_t* const limit = out.limit();
        while (cursor < limit) {
            if (commands == 0) {
                reader = in;
                commands = readBlockHeader(reader);
                in = reader;
                if (commands == 0) return in.failure();
            }
            // As many commands as surely end within the slack after `limit`, each writing
            // at most one 256-byte match: the loop below need not watch the cursor.
            const auto room = static_cast<std::uint32_t>((limit - cursor) / kMaxMatch) + 1;
            const std::uint32_t batch = std::min(commands, room);
            commands -= batch;
            for (std::uint32_t left = batch; left > 0; --left) {
                // Literals, the most frequent commands, need one code; a match needs up to
                // 16 + 16 + 18 bits.
                in.ensure(HuffmanTable::kMaxLength);
                const std::uint32_t symbol = commandCode.decode<kCommandRoot>(in);
                if (symbol < 256) {
                    *cursor++ = static_cast<std::uint8_t>(symbol);
                    continue;
                }
                if (symbol >= static_cast<std::uint32_t>(NC)) return in.failure();
                in.ensure(HuffmanTable::kMaxLength + kMaxNp - 2);
                const std::uint32_t slot = positionCode.decode<kPositionRoot>(in);
                if (slot >= np) return in.failure();
                // Slot 0 and 1 are the distances 1 and 2; slot n > 1 has n-1 extra bits.
                std::uint32_t distance = slot + 1;
                if (slot > 1) {
                    distance = (1u << (slot - 1)) + in.peek(static_cast<int>(slot - 1)) + 1;
                    in.skip(static_cast<int>(slot - 1));
                }
                const std::uint32_t length = symbol - 253;
                copyMatch(cursor, distance, length);
                cursor += length;
            }
        }
        if (const Status status = endRun(in, out, cursor); status != Status::Ok) return status;
    }
    reader = in;
    return Status::Ok;
}

} // namespace lha
