// The MacBinary wrapper of Macintosh archivers: a 128-byte header, the data fork, padding to
// 128 bytes, and the resource fork. Elsewhere only the data fork is the file.
#pragma once

#include "OutputWindow.h"

#include <cstdint>
#include <vector>

namespace lha {

constexpr std::size_t kMacBinaryHeader = 128;

// True when `header` (kMacBinaryHeader bytes) starts a valid MacBinary file of `size` bytes:
// zero version and filler bytes, a name of 1 to 63 bytes, the MacBinary II header CRC or the
// zeroed tail of the first version, and fork lengths that fit `size`. `dataFork` receives
// the data fork's length.
bool isMacBinary(const std::uint8_t* header, std::uint64_t size, std::uint64_t& dataFork);

// Passes a file of `size` bytes on to `target`, only its data fork when it is a MacBinary file.
// The decoder checks the CRC on every stored byte before this sink sees them.
class MacBinarySink final : public OutputSink {
public:
    MacBinarySink(OutputSink& target, std::uint64_t size);
    Status write(const std::uint8_t* data, std::size_t size) override;
    void progress() override { target_.progress(); }
    // True once the wrapper was found and dropped.
    bool unwrapped() const { return unwrapped_; }

private:
    OutputSink& target_;
    std::uint64_t size_;
    std::vector<std::uint8_t> header_; // the first bytes, until the wrapper is judged
    bool judged_;
    bool unwrapped_ = false;
    std::uint64_t left_ = 0; // of the data fork, when unwrapped
};

} // namespace lha
