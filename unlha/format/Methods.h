// The table from method ID to decoder: every compression method this library reads.
#pragma once

#include "Decoder.h"

#include <cstddef>
#include <memory>
#include <string_view>

namespace lha {

struct Method {
    std::string_view id;                // five-byte method ID, e.g. "-lh5-"
    std::size_t window;                 // how far back a match may reach, in bytes
    std::unique_ptr<Decoder> (*make)(); // a decoder for this method
};

// The method with this ID, or null when it is unknown or not supported.
const Method* findMethod(std::string_view id);

// Entries of this method are folders (and Unix symbolic links) and carry no data.
constexpr std::string_view kDirectoryMethod = "-lhd-";

} // namespace lha
