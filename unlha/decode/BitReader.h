// Most-significant-bit-first reading of one file's packed data through a 64-bit bit buffer.
// A plain value: a decoder's hot loop works on a local copy, which the compiler can keep in
// registers since its address is never taken (the slow path takes and returns it by value).
#pragma once

#include "ByteStream.h"

#include <cstdint>
#include <cstring>

namespace lha {

class BitReader {
public:
    // Reads the next `limit` bytes of `stream`: the packed data of one file.
    BitReader(ByteStream& stream, std::uint64_t limit) : stream_(&stream), remaining_(limit) {}

    // Makes at least kMinBits bits available to peek(). Past the packed data it supplies zero
    // bits and remembers it (overrun()), so a decoder never reads beyond its file's data.
    void refill() {
        if (end_ - cursor_ >= 8) {
            // Eight bytes at once; those beyond the whole bytes taken are loaded again later
            // at the same place, so the bits below count_ stay either zero or right.
            std::uint64_t word;
            std::memcpy(&word, cursor_, 8);
            bits_ |= __builtin_bswap64(word) >> count_;
            cursor_ += (63 - count_) >> 3;
            count_ |= 56;
        } else {
            *this = refilledSlowly(*this);
        }
    }
    // Refills only when fewer than `bits` bits are buffered.
    void ensure(int bits) {
        if (count_ < bits) refill();
    }

    // The next `count` bits (1 to 32) without consuming them; needs count <= available bits.
    std::uint32_t peek(int count) const {
        return static_cast<std::uint32_t>(bits_ >> (64 - count));
    }
    void skip(int count) {
        bits_ <<= count;
        count_ -= count;
    }
    // Reads `count` bits (0 to 32), refilling as needed.
    std::uint32_t read(int count) {
        if (count == 0) return 0;
        if (count_ < count) refill();
        const std::uint32_t value = peek(count);
        skip(count);
        return value;
    }

    // Copies up to `size` bytes when the reader stands on a byte boundary (stored data);
    // returns how many the packed data still held.
    std::size_t copyBytes(std::uint8_t* out, std::size_t size);

    // True once bits beyond the end of the packed data were consumed: the data is truncated.
    bool overrun() const { return paddingBits_ > static_cast<std::uint64_t>(count_); }
    // ReadFailed when the archive could not be read; the decoder then saw zero bits.
    Status error() const { return error_; }
    // Why decoding must stop: the read error if there was one, otherwise broken data.
    Status failure() const { return error_ != Status::Ok ? error_ : Status::BrokenData; }

    static constexpr int kMinBits = 56;

private:
    static BitReader refilledSlowly(BitReader reader);
    bool nextChunk();

    ByteStream* stream_;
    std::uint64_t remaining_;              // packed bytes not yet fetched from the stream
    const std::uint8_t* cursor_ = nullptr; // next byte of the fetched chunk
    const std::uint8_t* end_ = nullptr;    // end of the fetched chunk
    std::uint64_t bits_ = 0;               // buffered bits, the next one in the top bit
    int count_ = 0;                        // valid bits in bits_
    std::uint64_t paddingBits_ = 0;        // zero bits supplied past the end of the data
    Status error_ = Status::Ok;
};

} // namespace lha
