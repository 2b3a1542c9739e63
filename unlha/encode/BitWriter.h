// Writing bits most significant first, as the static-Huffman decoders read them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lha {

class BitWriter {
public:
    // Makes room for `bytes` more bytes, which put() then fills without checking.
    void reserve(std::size_t bytes) {
        if (buffer_.size() < size_ + bytes) buffer_.resize((size_ + bytes) * 2);
    }

    // Appends the low `count` bits of `value` (count 0 to 32, the bits above it zero).
    void put(std::uint32_t value, int count) {
        bits_ = bits_ << count | value;
        count_ += count;
        if (count_ >= 32) {
            count_ -= 32;
            const auto word = static_cast<std::uint32_t>(bits_ >> count_);
            std::uint8_t* const at = buffer_.data() + size_;
            at[0] = static_cast<std::uint8_t>(word >> 24);
            at[1] = static_cast<std::uint8_t>(word >> 16);
            at[2] = static_cast<std::uint8_t>(word >> 8);
            at[3] = static_cast<std::uint8_t>(word);
            size_ += 4;
        }
    }

    // Pads the last byte with zero bits and makes every bit a whole byte of data().
    void flushBits();

    // The whole bytes written since the last clear().
    const std::uint8_t* data() const { return buffer_.data(); }
    std::size_t size() const { return size_; }
    // Forgets the whole bytes (handed on); pending bits stay.
    void clear() { size_ = 0; }

private:
    std::vector<std::uint8_t> buffer_;
    std::size_t size_ = 0;   // whole bytes in buffer_
    std::uint64_t bits_ = 0; // the last `count_` bits written are its low bits
    int count_ = 0;          // below 32 between calls
};

} // namespace lha
