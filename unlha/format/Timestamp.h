// A stored last-write time in whichever of the archive's three forms it came.
#pragma once

#include <cstdint>
#include <string>

namespace lha {

struct Timestamp {
    enum class Kind {
        None,    // not stored
        Dos,     // MS-DOS date and time words (date << 16 | time), local time
        Unix,    // seconds since 1970-01-01 UTC
        Windows, // 100-nanosecond ticks since 1601-01-01 UTC
    };
    Kind kind = Kind::None;
    std::uint64_t value = 0;

    // Seconds since 1970 UTC (local time of this machine for DOS stamps); false when unset.
    bool toUnix(std::int64_t& seconds, std::uint32_t& nanoseconds) const;
    // "YYYY-MM-DD hh:mm:ss" in local time, or blanks when unset.
    std::string text() const;
};

// 100-nanosecond ticks between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kWindowsTicksAt1970 = 116444736000000000ull;

} // namespace lha
