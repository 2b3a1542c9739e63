// Buffered sequential reading of an Input.
#include "ByteStream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace lha {
namespace {

// Large enough that decoding a big file costs few reads, small enough to stay a fixed cost.
constexpr std::size_t kBufferSize = 256 * 1024;

} // namespace

ByteStream::ByteStream(Input& input) : input_(input) {}

void ByteStream::seek(std::uint64_t position) {
    if (position >= bufferStart_ && position <= bufferStart_ + bufferLength_) {
        cursor_ = static_cast<std::size_t>(position - bufferStart_);
        return;
    }
    bufferStart_ = position;
    bufferLength_ = 0;
    cursor_ = 0;
}

Status ByteStream::fill() {
    bufferStart_ += cursor_;
    bufferLength_ = 0;
    cursor_ = 0;
    if (!buffer_) {
        buffer_.reset(new (std::nothrow) std::uint8_t[kBufferSize]);
        if (!buffer_) return Status::OutOfMemory;
    }
    return input_.readAt(bufferStart_, buffer_.get(), kBufferSize, bufferLength_);
}

Status ByteStream::fetch(std::size_t max, const std::uint8_t*& data, std::size_t& got) {
    got = 0;
    if (cursor_ == bufferLength_) {
        if (const Status status = fill(); status != Status::Ok) return status;
    }
    got = std::min(max, bufferLength_ - cursor_);
    data = buffer_.get() + cursor_;
    cursor_ += got;
    return Status::Ok;
}

Status ByteStream::read(std::uint8_t* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
        const std::uint8_t* data = nullptr;
        std::size_t chunk = 0;
        if (const Status status = fetch(size - got, data, chunk); status != Status::Ok)
            return status;
        if (chunk == 0) break;
        std::memcpy(buffer + got, data, chunk);
        got += chunk;
    }
    return Status::Ok;
}

} // namespace lha
