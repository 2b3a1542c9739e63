// CRC-16/ARC (reflected polynomial 0xA001, initial value 0) used for LHA data and headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lha {

class Crc16 {
public:
    void update(const std::uint8_t* data, std::size_t size);
    std::uint16_t value() const { return value_; }

private:
    std::uint16_t value_ = 0;
};

std::uint16_t crc16(const std::uint8_t* data, std::size_t size);

} // namespace lha
