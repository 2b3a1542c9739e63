// An archive split into volumes, read as the one archive they make end to end.
#pragma once

#include "Input.h"

#include <memory>
#include <vector>

namespace lha {

class JoinedInput final : public Input {
public:
    explicit JoinedInput(std::vector<std::unique_ptr<Input>> volumes);
    Status readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                  std::size_t& got) override;
    std::uint64_t size() const override { return size_; }

private:
    std::vector<std::unique_ptr<Input>> volumes_;
    std::vector<std::uint64_t> starts_; // offset of each volume in the whole
    std::uint64_t size_ = 0;
};

} // namespace lha
