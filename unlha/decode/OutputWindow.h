// The sliding dictionary and output buffer of a decoder: decoded bytes are appended, checked
// with CRC-16 and handed to a sink in large pieces, keeping the last window's bytes for matches.
// A big file's chunks are checked and written by a helper thread while the decoder fills the
// other of two buffers.
#pragma once

#include "BackgroundWriter.h"
#include "Crc16.h"
#include "Status.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace lha {

// Receives a file's decoded bytes.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    // The next piece of the file; may run on the helper thread.
    virtual Status write(const std::uint8_t* data, std::size_t size) = 0;
    // Called on the decoder's thread after each piece was handed over.
    virtual void progress() {}
};

class OutputWindow {
public:
    // A decoder may write this many bytes beyond limit() in one step (a match plus an
    // eight-byte overcopy).
    static constexpr std::size_t kSlack = 512;

    // Prepares for a file of `size` bytes whose matches reach back at most `window` bytes.
    // The `window` bytes before the first output byte read as spaces, as in the ring buffers
    // of the old tools, unless the decoder presets them through dictionary().
    Status start(std::size_t window, std::uint64_t size, OutputSink& sink);

    // The `window` bytes before the first output byte.
    std::uint8_t* dictionary() { return buffer_.get(); }
    // Where the next byte goes, and how far the decoder may go before calling commit().
    std::uint8_t* cursor() const { return cursor_; }
    std::uint8_t* limit() const { return limit_; }
    // Takes what the decoder wrote up to `end` (at least limit()), handing full chunks to
    // the sink; output past the file's size is dropped. Passes on the sink's failure.
    Status commit(std::uint8_t* end);

    bool done() const { return remaining_ == 0; }
    // Waits until everything handed over is written; the first write failure. Call after
    // decoding, whatever its outcome, before the sink goes away.
    Status drain() { return writer_.wait(); }
    // The CRC of the whole file, once drained.
    std::uint16_t crc() const { return crc_.value(); }

private:
    void startChunk();
    bool makeSpare();

    std::unique_ptr<std::uint8_t[]> buffer_; // dictionary, then the output chunk, then slack
    std::unique_ptr<std::uint8_t[]> spare_;  // the same, filled while the helper writes buffer_
    std::size_t capacity_ = 0;
    std::size_t spareCapacity_ = 0;
    std::size_t window_ = 0;
    std::uint8_t* pending_ = nullptr;  // first byte not yet handed to the sink
    std::uint8_t* cursor_ = nullptr;   // where the decoder goes on
    std::uint8_t* chunkEnd_ = nullptr; // where the chunk is full or the file ends
    std::uint8_t* limit_ = nullptr;    // end of the decoder's current run
    std::uint64_t remaining_ = 0;      // bytes of the file not yet handed to the sink
    Crc16 crc_;
    OutputSink* sink_ = nullptr;
    BackgroundWriter writer_; // last: stops its thread before the rest goes
};

// Appends `length` bytes copied from `distance` bytes back, byte by byte in effect, so that
// overlapping copies repeat the pattern. May write up to 8 bytes past the match (kSlack).
inline void copyMatch(std::uint8_t* to, std::size_t distance, std::size_t length) {
    const std::uint8_t* from = to - distance;
    if (distance >= 8) {
        for (std::size_t i = 0; i < length; i += 8)
            std::memcpy(to + i, from + i, 8);
    } else if (distance == 1) {
        std::memset(to, *from, length);
    } else {
        for (std::size_t i = 0; i < length; ++i)
            to[i] = from[i];
    }
}

} // namespace lha
