// CRC-16/ARC, eight bytes per step through eight derived tables (slicing by eight).
#include "Crc16.h"

#include <array>

namespace lha {
namespace {

using Tables = std::array<std::array<std::uint16_t, 256>, 8>;

constexpr Tables makeTables() {
    Tables t{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
        t[0][i] = static_cast<std::uint16_t>(c);
    }
    // t[k][i] is the CRC of byte i followed by k zero bytes.
    for (std::size_t k = 1; k < 8; ++k)
        for (unsigned i = 0; i < 256; ++i)
            t[k][i] = static_cast<std::uint16_t>((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF]);
    return t;
}

constexpr Tables kTables = makeTables();

} // namespace

void Crc16::update(const std::uint8_t* data, std::size_t size) {
    unsigned crc = value_;
    while (size >= 8) {
        const unsigned a = crc ^ data[0] ^ (unsigned(data[1]) << 8);
        crc = kTables[7][a & 0xFF] ^ kTables[6][a >> 8] ^ kTables[5][data[2]] ^
              kTables[4][data[3]] ^ kTables[3][data[4]] ^ kTables[2][data[5]] ^
              kTables[1][data[6]] ^ kTables[0][data[7]];
        data += 8;
        size -= 8;
    }
    while (size-- > 0)
        crc = (crc >> 8) ^ kTables[0][(crc ^ *data++) & 0xFF];
    value_ = static_cast<std::uint16_t>(crc);
}

std::uint16_t crc16(const std::uint8_t* data, std::size_t size) {
    Crc16 crc;
    crc.update(data, size);
    return crc.value();
}

} // namespace lha
