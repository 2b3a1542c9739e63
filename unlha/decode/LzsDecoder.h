// Decoder of -lzs-: LZSS over a 2 KiB ring, bit-packed commands with absolute ring positions.
#pragma once

#include "Decoder.h"

namespace lha {

class LzsDecoder final : public Decoder {
public:
    Status decode(BitReader& in, OutputWindow& out) override;
};

} // namespace lha
