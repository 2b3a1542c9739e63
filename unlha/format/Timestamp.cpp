// Converting and showing stored time stamps.
#include "Timestamp.h"

#include <cstdio>
#include <ctime>

namespace lha {
namespace {

std::tm dosFields(std::uint64_t value) {
    std::tm fields{};
    fields.tm_sec = static_cast<int>(value & 0x1F) * 2;
    fields.tm_min = static_cast<int>(value >> 5 & 0x3F);
    fields.tm_hour = static_cast<int>(value >> 11 & 0x1F);
    fields.tm_mday = static_cast<int>(value >> 16 & 0x1F);
    fields.tm_mon = static_cast<int>(value >> 21 & 0x0F) - 1;
    fields.tm_year = static_cast<int>(value >> 25 & 0x7F) + 80;
    fields.tm_isdst = -1;
    return fields;
}

} // namespace

bool Timestamp::toUnix(std::int64_t& seconds, std::uint32_t& nanoseconds) const {
    nanoseconds = 0;
    switch (kind) {
    case Kind::None: return false;
    case Kind::Dos: {
        std::tm fields = dosFields(value);
        const std::time_t t = std::mktime(&fields);
        if (t == static_cast<std::time_t>(-1)) return false;
        seconds = static_cast<std::int64_t>(t);
        return true;
    }
    case Kind::Unix:
        seconds = static_cast<std::int64_t>(static_cast<std::uint32_t>(value));
        return true;
    case Kind::Windows:
        // Whole seconds since 1601 first, so that times before 1970 come out right as well.
        seconds = static_cast<std::int64_t>(value / 10000000) -
                  static_cast<std::int64_t>(kWindowsTicksAt1970 / 10000000);
        nanoseconds = static_cast<std::uint32_t>(value % 10000000) * 100;
        return true;
    }
    return false;
}

std::string Timestamp::text() const {
    std::tm fields{};
    if (kind == Kind::Dos) {
        fields = dosFields(value);
    } else {
        std::int64_t seconds = 0;
        std::uint32_t nanoseconds = 0;
        if (!toUnix(seconds, nanoseconds)) return std::string(19, ' ');
        const auto t = static_cast<std::time_t>(seconds);
        const std::tm* local = std::localtime(&t);
        if (local == nullptr) return std::string(19, ' ');
        fields = *local;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", fields.tm_year + 1900,
                  fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec);
    return text;
}

} // namespace lha
