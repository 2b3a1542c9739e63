// The decoders' sliding dictionary and output buffer.
#include "OutputWindow.h"

#include <algorithm>
#include <new>

namespace lha {
namespace {

// Output handed to the sink at once; bigger means fewer writes and dictionary moves.
constexpr std::size_t kChunk = 1024 * 1024;

} // namespace

Status OutputWindow::start(std::size_t window, std::uint64_t size, OutputSink& sink) {
    const std::size_t needed = window + kChunk + kSlack;
    if (buffer_.size() < needed) {
        // Grows only to the largest window of the methods met: a fixed bound, whatever the
        // archive's size fields say.
        std::vector<std::uint8_t> bigger;
        try {
            bigger.resize(needed);
        } catch (const std::bad_alloc&) {
            return Status::OutOfMemory;
        }
        buffer_.swap(bigger);
    }
    window_ = window;
    std::memset(buffer_.data(), ' ', window);
    remaining_ = size;
    crc_ = Crc16();
    sink_ = &sink;
    pending_ = buffer_.data() + window;
    setLimit();
    return Status::Ok;
}

void OutputWindow::setLimit() {
    limit_ = pending_ + static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, kChunk));
}

Status OutputWindow::commit(std::uint8_t* end) {
    const auto produced = static_cast<std::size_t>(
        std::min<std::uint64_t>(static_cast<std::size_t>(end - pending_), remaining_));
    if (produced < static_cast<std::size_t>(limit_ - pending_)) return Status::Ok;
    crc_.update(pending_, produced);
    if (const Status status = sink_->write(pending_, produced); status != Status::Ok) return status;
    remaining_ -= produced;
    // Keep the last window's bytes in front of the next chunk.
    std::uint8_t* const chunkEnd = pending_ + produced;
    std::memmove(buffer_.data(), chunkEnd - window_, window_);
    pending_ = buffer_.data() + window_;
    setLimit();
    return Status::Ok;
}

} // namespace lha
