// Copying stored data.
#include "StoredDecoder.h"

namespace lha {

Status StoredDecoder::decode(BitReader& in, OutputWindow& out) {
    while (!out.done()) {
        std::uint8_t* const cursor = out.cursor();
        const auto wanted = static_cast<std::size_t>(out.limit() - cursor);
        if (in.copyBytes(cursor, wanted) < wanted)
            return in.error() != Status::Ok ? in.error() : Status::BrokenData;
        if (const Status status = out.commit(cursor + wanted); status != Status::Ok) return status;
    }
    return Status::Ok;
}

} // namespace lha
