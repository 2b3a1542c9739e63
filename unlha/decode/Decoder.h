// The one interface every compression method's decoder implements.
#pragma once

#include "BitReader.h"
#include "OutputWindow.h"
#include "Status.h"

namespace lha {

class Decoder {
public:
    virtual ~Decoder() = default;
    // Decodes a whole file from `in` into `out`, which the caller has started with the
    // method's window. BrokenData when the stream cannot be decoded, the sink's status when
    // writing fails. Decoders keep no state from one file to the next.
    virtual Status decode(BitReader& in, OutputWindow& out) = 0;
};

// Ends a decoder's run up to out.limit(): a failure if the run read past the packed data,
// otherwise the output is handed on.
inline Status endRun(const BitReader& in, OutputWindow& out, std::uint8_t* cursor) {
    return in.overrun() ? in.failure() : out.commit(cursor);
}

// A copy of the ring-buffer methods (-lzs-, -lz5-), given by the absolute ring index
// `position` that it starts at: the index being written stands for a full ring back. `ring`
// is the ring index of the next output byte, at `cursor`; both move past the copy.
inline void copyFromRing(std::uint8_t*& cursor, std::uint32_t& ring, std::uint32_t position,
                         std::uint32_t length, std::uint32_t ringMask) {
    copyMatch(cursor, ((ring - position - 1) & ringMask) + 1, length);
    cursor += length;
    ring += length;
}

} // namespace lha
