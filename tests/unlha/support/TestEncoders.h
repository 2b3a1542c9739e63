// Small, slow encoders for the methods the peer tools cannot make (-lh1-, -lzs-, -lz5-), and
// a bit writer for hand-made streams. Their output is checked against lhasa in the interop tests.
#pragma once

#include <cstdint>
#include <string>

namespace lha::test {

// Writes bits most significant first, as the decoders read them.
class BitWriter {
public:
    void put(std::uint32_t value, int count);
    // The bytes written, the last one padded with zero bits.
    std::string bytes() const;

private:
    std::string bytes_;
    std::uint32_t pending_ = 0; // bits not yet in a whole byte, in the low `count_` bits
    int count_ = 0;
};

// `content` packed by "-lh0-"/"-lz4-" (stored), "-lh1-", "-lzs-" or "-lz5-".
std::string encode(const std::string& method, const std::string& content);

} // namespace lha::test
