// Reads that cross from one volume into the next.
#include "JoinedInput.h"

#include <algorithm>

namespace lha {

JoinedInput::JoinedInput(std::vector<std::unique_ptr<Input>> volumes)
    : volumes_(std::move(volumes)) {
    for (const auto& volume : volumes_) {
        starts_.push_back(size_);
        size_ += volume->size();
    }
}

Status JoinedInput::readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                           std::size_t& got) {
    got = 0;
    // The last volume that starts at or before the offset.
    auto i = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), offset) -
                                      starts_.begin());
    for (i = i == 0 ? 0 : i - 1; i < volumes_.size() && got < size; ++i) {
        const std::uint64_t at = offset + got - starts_[i];
        if (at >= volumes_[i]->size()) continue;
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - got, volumes_[i]->size() - at));
        std::size_t piece = 0;
        if (const Status status = volumes_[i]->readAt(at, buffer + got, want, piece);
            status != Status::Ok)
            return status;
        got += piece;
        if (piece < want) return Status::ReadFailed; // a volume shorter than it said
    }
    return Status::Ok;
}

} // namespace lha
