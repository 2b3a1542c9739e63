// Where archive bytes come from: a file or a block of memory, read at absolute offsets.
#pragma once

#include "Status.h"

#include <cstddef>
#include <cstdint>

namespace lha {

class Input {
public:
    virtual ~Input() = default;
    // Reads up to `size` bytes at `offset`; `got` falls short of `size` only at the end of the
    // input. ReadFailed means the medium failed, never that the data is bad.
    virtual Status readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                          std::size_t& got) = 0;
    virtual std::uint64_t size() const = 0;
};

// An archive held in memory (tests, the fuzz target). The bytes are not copied.
class MemoryInput final : public Input {
public:
    MemoryInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    Status readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                  std::size_t& got) override;
    std::uint64_t size() const override { return size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace lha
