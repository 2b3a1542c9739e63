// Recognising a MacBinary header and passing on the data fork.
#include "MacBinary.h"

#include <algorithm>

namespace lha {
namespace {

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// CRC-16 with polynomial 0x1021, initial value 0, not reflected, as MacBinary II uses.
std::uint16_t crc16Xmodem(const std::uint8_t* data, std::size_t size) {
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<std::uint16_t>(data[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>(crc & 0x8000 ? crc << 1 ^ 0x1021 : crc << 1);
    }
    return crc;
}

std::uint64_t padded(std::uint64_t length) {
    return (length + kMacBinaryHeader - 1) / kMacBinaryHeader * kMacBinaryHeader;
}

} // namespace

bool isMacBinary(const std::uint8_t* h, std::uint64_t size, std::uint64_t& dataFork) {
    if (h[0] != 0 || h[74] != 0 || h[82] != 0 || h[1] < 1 || h[1] > 63) return false;
    const bool secondVersion = crc16Xmodem(h, 124) == (h[124] << 8 | h[125]);
    // Without the CRC, the first version's header ends in zeros from byte 99.
    if (!secondVersion && std::any_of(h + 99, h + kMacBinaryHeader, [](auto b) { return b; }))
        return false;
    // A secondary header would move the forks; no writer of archives uses one.
    if (h[120] != 0 || h[121] != 0) return false;
    const std::uint64_t data = bigEndian32(h + 83);
    const std::uint64_t resource = bigEndian32(h + 87);
    // The last fork may come without its padding.
    const std::uint64_t shortest =
        kMacBinaryHeader + (resource == 0 ? data : padded(data) + resource);
    const std::uint64_t longest = kMacBinaryHeader + padded(data) + padded(resource);
    if (size < shortest || size > longest) return false;
    dataFork = data;
    return true;
}

MacBinarySink::MacBinarySink(OutputSink& target, std::uint64_t size)
    : target_(target), size_(size), judged_(size <= kMacBinaryHeader) {}

Status MacBinarySink::write(const std::uint8_t* data, std::size_t size) {
    if (!judged_) {
        const std::size_t take = std::min(size, kMacBinaryHeader - header_.size());
        header_.insert(header_.end(), data, data + take);
        data += take;
        size -= take;
        if (header_.size() < kMacBinaryHeader) return Status::Ok;
        judged_ = true;
        unwrapped_ = isMacBinary(header_.data(), size_, left_);
        if (!unwrapped_) {
            if (const Status status = target_.write(header_.data(), header_.size());
                status != Status::Ok)
                return status;
        }
    }
    if (unwrapped_) {
        size = static_cast<std::size_t>(std::min<std::uint64_t>(size, left_));
        left_ -= size;
    }
    return size == 0 ? Status::Ok : target_.write(data, size);
}

} // namespace lha
