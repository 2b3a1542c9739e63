// Decoder of -lz5-: LZSS over a 4 KiB preset ring, byte-packed commands in groups of eight.
#pragma once

#include "Decoder.h"

namespace lha {

class Lz5Decoder final : public Decoder {
public:
    Status decode(BitReader& in, OutputWindow& out) override;
};

} // namespace lha
