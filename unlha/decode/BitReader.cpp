// The slow paths of the bit reader: chunk boundaries and the end of the packed data.
#include "BitReader.h"

#include <algorithm>

namespace lha {

bool BitReader::nextChunk() {
    if (remaining_ == 0 || error_ != Status::Ok) return false;
    std::size_t got = 0;
    const std::uint8_t* data = nullptr;
    const auto max = static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, 1u << 30));
    if (const Status status = stream_->fetch(max, data, got); status != Status::Ok) {
        error_ = status;
        return false;
    }
    if (got == 0) {
        // The archive ends inside this file's data: what is left reads as padding.
        remaining_ = 0;
        return false;
    }
    remaining_ -= got;
    cursor_ = data;
    end_ = data + got;
    return true;
}

BitReader BitReader::refilledSlowly(BitReader reader) {
    while (reader.count_ <= kMinBits) {
        if (reader.cursor_ == reader.end_ && !reader.nextChunk()) {
            reader.paddingBits_ += 8;
            reader.count_ += 8;
            continue;
        }
        reader.bits_ |= static_cast<std::uint64_t>(*reader.cursor_++) << (56 - reader.count_);
        reader.count_ += 8;
    }
    return reader;
}

std::size_t BitReader::copyBytes(std::uint8_t* out, std::size_t size) {
    std::size_t done = 0;
    while (done < size && count_ >= 8 && static_cast<std::uint64_t>(count_ - 8) >= paddingBits_) {
        out[done++] = static_cast<std::uint8_t>(peek(8));
        skip(8);
    }
    while (done < size) {
        if (cursor_ == end_ && !nextChunk()) break;
        const std::size_t chunk = std::min<std::size_t>(size - done, end_ - cursor_);
        std::memcpy(out + done, cursor_, chunk);
        cursor_ += chunk;
        done += chunk;
    }
    return done;
}

} // namespace lha
