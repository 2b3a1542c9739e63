// Reading an archive held in memory.
#include "Input.h"

#include <algorithm>
#include <cstring>

namespace lha {

Status MemoryInput::readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                           std::size_t& got) {
    got = 0;
    if (offset >= size_) return Status::Ok;
    got = static_cast<std::size_t>(std::min<std::uint64_t>(size, size_ - offset));
    std::memcpy(buffer, data_ + offset, got);
    return Status::Ok;
}

} // namespace lha
