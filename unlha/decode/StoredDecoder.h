// Decoder of the stored methods -lh0- and -lz4-: the packed data is the file.
#pragma once

#include "Decoder.h"

namespace lha {

class StoredDecoder final : public Decoder {
public:
    Status decode(BitReader& in, OutputWindow& out) override;
};

} // namespace lha
