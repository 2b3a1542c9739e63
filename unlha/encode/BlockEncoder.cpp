// Writing a block: the code-length code (T), the command code (C) described in it, the
// position code (P), then the commands.
#include "BlockEncoder.h"

#include <cstring>

namespace lha {

BlockEncoder::BlockEncoder(int np, int pbit) : np_(np), pbit_(pbit) {
    commands_.reserve(kMaxCommands);
    offsets_.reserve(kMaxCommands);
}

void BlockEncoder::describeCommandCode(const HuffmanCode& commandCode) {
    // Runs of zero lengths: 0 is one zero, 1 + 4 bits is 3-18 zeros, 2 + 9 bits is 20 and
    // more; a length l is the symbol l + 2.
    items_.clear();
    const int n = commandCode.count;
    for (int i = 0; i < n;) {
        if (commandCode.lengths[i] != 0) {
            items_.push_back({static_cast<std::uint8_t>(commandCode.lengths[i] + 2), 0});
            ++i;
            continue;
        }
        int run = 1;
        while (i + run < n && commandCode.lengths[i + run] == 0)
            ++run;
        i += run;
        if (run <= 2) {
            for (int k = 0; k < run; ++k)
                items_.push_back({0, 0});
        } else if (run <= 18) {
            items_.push_back({1, static_cast<std::uint16_t>(run - 3)});
        } else if (run == 19) {
            items_.push_back({0, 0});
            items_.push_back({1, 15});
        } else {
            items_.push_back({2, static_cast<std::uint16_t>(run - 20)});
        }
    }
}

void BlockEncoder::writeSmallTable(BitWriter& out, const HuffmanCode& code, int countBits,
                                   bool zerosAfterThird) {
    if (code.used < 2) {
        out.put(0, countBits);
        out.put(static_cast<std::uint32_t>(code.single), countBits);
        return;
    }
    out.put(static_cast<std::uint32_t>(code.count), countBits);
    for (int i = 0; i < code.count;) {
        const int length = code.lengths[i++];
        if (length < 7) {
            out.put(static_cast<std::uint32_t>(length), 3);
        } else {
            // 7 and up: 111, then one 1-bit per step above 7, then a 0-bit.
            out.put(7, 3);
            out.put(((1u << (length - 7)) - 1) << 1, length - 6);
        }
        if (zerosAfterThird && i == 3) {
            int zeros = 0;
            while (zeros < 3 && i + zeros < code.count && code.lengths[i + zeros] == 0)
                ++zeros;
            out.put(static_cast<std::uint32_t>(zeros), 2);
            i += zeros;
        }
    }
}

void BlockEncoder::writeCommandTable(BitWriter& out, const HuffmanCode& commandCode,
                                     const HuffmanCode& lengthCode) {
    // A code-length code of one symbol has length 0: its items cost only their extra bits.
    out.put(static_cast<std::uint32_t>(commandCode.count), CBIT);
    for (const LengthItem& item : items_) {
        out.put(lengthCode.codes[item.symbol], lengthCode.lengths[item.symbol]);
        if (item.symbol == 1)
            out.put(item.extra, 4);
        else if (item.symbol == 2)
            out.put(item.extra, CBIT);
    }
}

void BlockEncoder::write(BitWriter& out) {
    commandCode_.build(commandFrequencies_, NC, HuffmanTable::kMaxLength);
    positionCode_.build(positionFrequencies_, np_, HuffmanTable::kMaxLength);

    // Tables take at most a few hundred bytes; a command at most 16 + 16 + 16 bits.
    out.reserve(1024 + commands_.size() * 6);
    out.put(count(), 16);
    if (commandCode_.used < 2) {
        // One command symbol: its table of one, and a code-length table that is never used.
        out.put(0, TBIT);
        out.put(0, TBIT);
        out.put(0, CBIT);
        out.put(static_cast<std::uint32_t>(commandCode_.single), CBIT);
    } else {
        describeCommandCode(commandCode_);
        std::uint32_t itemFrequencies[NT] = {};
        for (const LengthItem& item : items_)
            ++itemFrequencies[item.symbol];
        lengthCode_.build(itemFrequencies, NT, HuffmanTable::kMaxLength);
        writeSmallTable(out, lengthCode_, TBIT, true);
        writeCommandTable(out, commandCode_, lengthCode_);
    }
    writeSmallTable(out, positionCode_, pbit_, false);

    const std::uint8_t* const cLengths = commandCode_.lengths;
    const std::uint16_t* const cCodes = commandCode_.codes;
    const std::uint8_t* const pLengths = positionCode_.lengths;
    const std::uint16_t* const pCodes = positionCode_.codes;
    const std::uint16_t* offset = offsets_.data();
    for (const std::uint16_t symbol : commands_) {
        out.put(cCodes[symbol], cLengths[symbol]);
        if (symbol < 256) continue;
        const std::uint32_t v = *offset++;
        const auto p = static_cast<int>(std::bit_width(v));
        out.put(pCodes[p], pLengths[p]);
        if (p > 1) out.put(v & ((1u << (p - 1)) - 1), p - 1);
    }

    discard();
}

void BlockEncoder::discard() {
    commands_.clear();
    offsets_.clear();
    std::memset(commandFrequencies_, 0, sizeof commandFrequencies_);
    std::memset(positionFrequencies_, 0, sizeof positionFrequencies_);
}

} // namespace lha
