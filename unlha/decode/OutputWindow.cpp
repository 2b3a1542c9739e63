// The decoders' sliding dictionary and output buffer.
#include "OutputWindow.h"

#include <algorithm>
#include <new>

namespace lha {
namespace {

// Output handed to the sink at once; bigger means fewer writes and dictionary moves.
constexpr std::size_t kChunk = 1024 * 1024;
// Output a decoder produces between two commits. Decoders check for truncated input at each
// commit, so this bounds the garbage decoded from a file whose data ends early.
constexpr std::size_t kRun = 64 * 1024;

} // namespace

Status OutputWindow::start(std::size_t window, std::uint64_t size, OutputSink& sink) {
    const std::size_t needed = window + kChunk + kSlack;
    if (capacity_ < needed) {
        // Grows only to the largest window of the methods met: a fixed bound, whatever the
        // archive's size fields say.
        buffer_.reset(new (std::nothrow) std::uint8_t[needed]);
        capacity_ = buffer_ ? needed : 0;
        if (!buffer_) return Status::OutOfMemory;
    }
    window_ = window;
    std::memset(buffer_.get(), ' ', window);
    remaining_ = size;
    crc_ = Crc16();
    sink_ = &sink;
    startChunk();
    return Status::Ok;
}

void OutputWindow::startChunk() {
    pending_ = buffer_.get() + window_;
    cursor_ = pending_;
    chunkEnd_ = pending_ + static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, kChunk));
    limit_ = std::min(chunkEnd_, cursor_ + kRun);
}

bool OutputWindow::makeSpare() {
    if (spareCapacity_ < capacity_) {
        spare_.reset(new (std::nothrow) std::uint8_t[capacity_]);
        spareCapacity_ = spare_ ? capacity_ : 0;
    }
    return spare_ != nullptr;
}

Status OutputWindow::commit(std::uint8_t* end) {
    if (end < chunkEnd_) {
        cursor_ = end;
        limit_ = std::min(chunkEnd_, cursor_ + kRun);
        return Status::Ok;
    }
    const auto produced = static_cast<std::size_t>(
        std::min<std::uint64_t>(static_cast<std::size_t>(end - pending_), remaining_));
    remaining_ -= produced;
    std::uint8_t* const produceEnd = pending_ + produced;
    // The helper may still be writing the spare buffer's chunk.
    if (const Status status = writer_.wait(); status != Status::Ok) return status;
    if (remaining_ > 0 && makeSpare()) {
        // Go on in the spare buffer behind a copy of the dictionary; the helper writes this
        // chunk meanwhile.
        std::memcpy(spare_.get(), produceEnd - window_, window_);
        if (writer_.submit(*sink_, crc_, pending_, produced)) {
            buffer_.swap(spare_);
            std::swap(capacity_, spareCapacity_);
            sink_->progress();
            startChunk();
            return Status::Ok;
        }
    }
    crc_.update(pending_, produced);
    if (const Status status = sink_->write(pending_, produced); status != Status::Ok) return status;
    sink_->progress();
    // Keep the last window's bytes in front of the next chunk.
    std::memmove(buffer_.get(), produceEnd - window_, window_);
    startChunk();
    return Status::Ok;
}

} // namespace lha
