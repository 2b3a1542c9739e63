// Generated file contents for the packing and unpacking tests, the same for the same seed.
#pragma once
#include <cstddef>
#include <string>

namespace lha::test {

// Bytes that do not shrink.
std::string noise(std::size_t size, unsigned seed);
// Words, line breaks, numbers and copies of earlier stretches near and far, as in text.
std::string text(std::size_t size, unsigned seed);

} // namespace lha::test
