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

} // namespace lha
