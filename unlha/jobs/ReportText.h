// The pieces the jobs' reports are written with: columns, counts and ratios.
#pragma once

#include <cstdint>
#include <string>

namespace lha {

// `value` right-aligned in `width` columns.
std::string padded(std::uint64_t value, std::size_t width);

// The count with its noun, singular for one: "1 file", "3 files", "0 folders".
std::string counted(std::uint64_t count, const std::string& noun);

// `packed` in percent of `original` with one decimal, right-aligned in 6 columns (" 45.2%");
// "     -" for an empty original.
std::string ratio(std::uint64_t packed, std::uint64_t original);

} // namespace lha
