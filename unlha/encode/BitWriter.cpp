// Ending a bit stream on a byte boundary.
#include "BitWriter.h"

namespace lha {

void BitWriter::flushBits() {
    reserve(8);
    if (count_ % 8 != 0) put(0, 8 - count_ % 8);
    while (count_ > 0) {
        count_ -= 8;
        buffer_[size_++] = static_cast<std::uint8_t>(bits_ >> count_);
    }
}

} // namespace lha
