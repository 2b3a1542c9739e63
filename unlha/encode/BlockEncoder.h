// One block of -lh5- to -lh7- commands and its writing: the three code tables, then the
// literals and matches in their codes.
#pragma once

#include "BitWriter.h"
#include "HuffmanEncoder.h"
#include "HuffmanTable.h"
#include "StaticHuffmanFormat.h"

#include <bit>
#include <cstdint>
#include <vector>

namespace lha {

class BlockEncoder : public StaticHuffmanFormat {
public:
    static constexpr std::uint32_t kMaxCommands = 0xFFFF; // the block's 16-bit count

    // `np`: size of the position alphabet; `pbit`: width of its table-size field.
    BlockEncoder(int np, int pbit);

    void literal(std::uint8_t byte) {
        commands_.push_back(byte);
        ++commandFrequencies_[byte];
    }
    // A copy of `length` bytes from `distance` bytes back.
    void match(std::uint32_t length, std::uint32_t distance) {
        const std::uint32_t symbol = length + (256 - kMinMatch);
        const std::uint32_t offset = distance - 1;
        commands_.push_back(static_cast<std::uint16_t>(symbol));
        offsets_.push_back(static_cast<std::uint16_t>(offset));
        ++commandFrequencies_[symbol];
        ++positionFrequencies_[std::bit_width(offset)];
    }
    std::uint32_t count() const { return static_cast<std::uint32_t>(commands_.size()); }

    // Writes the block (at least one command) and starts an empty one.
    void write(BitWriter& out);
    // Drops the block's commands.
    void discard();

    // The position slot of a distance: its offset's bit count; a slot above 1 is followed by
    // that count less one extra bits.
    static int slot(std::uint32_t distance) {
        return static_cast<int>(std::bit_width(distance - 1));
    }

    int np() const { return np_; }

private:
    // One symbol of the code-length alphabet describing the C code, with its extra bits.
    struct LengthItem {
        std::uint8_t symbol;
        std::uint16_t extra;
    };
    void describeCommandCode(const HuffmanCode& commandCode);
    void writeSmallTable(BitWriter& out, const HuffmanCode& code, int countBits,
                         bool zerosAfterThird);
    void writeCommandTable(BitWriter& out, const HuffmanCode& commandCode,
                           const HuffmanCode& lengthCode);

    int np_;
    int pbit_;
    std::vector<std::uint16_t> commands_; // C symbols in order
    std::vector<std::uint16_t> offsets_;  // distance - 1 of each match in order
    std::uint32_t commandFrequencies_[NC] = {};
    std::uint32_t positionFrequencies_[32] = {};
    std::vector<LengthItem> items_; // the C code's lengths in the code-length alphabet
    HuffmanCode commandCode_;
    HuffmanCode positionCode_;
    HuffmanCode lengthCode_;
};

} // namespace lha
