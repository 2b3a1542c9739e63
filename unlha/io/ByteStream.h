// Buffered sequential reading of an Input, with seeking, shared by the header parser and decoders.
#pragma once

#include "Input.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace lha {

class ByteStream {
public:
    explicit ByteStream(Input& input);

    std::uint64_t position() const { return bufferStart_ + cursor_; }
    std::uint64_t size() const { return input_.size(); }
    void seek(std::uint64_t position);

    // Copies up to `size` bytes; `got` falls short only at the end of the input.
    Status read(std::uint8_t* buffer, std::size_t size, std::size_t& got);
    // Hands out up to `max` buffered bytes without copying and moves past them; `got` is 0 only
    // at the end of the input. The bytes stay valid until the next call on this stream.
    Status fetch(std::size_t max, const std::uint8_t*& data, std::size_t& got);

private:
    Status fill();

    Input& input_;
    std::unique_ptr<std::uint8_t[]> buffer_; // bytes read ahead, allocated on first use
    std::uint64_t bufferStart_ = 0;          // input offset of buffer_[0]
    std::size_t bufferLength_ = 0;           // valid bytes in buffer_
    std::size_t cursor_ = 0;                 // next byte to hand out, index into buffer_
};

} // namespace lha
