// Formatting of report lines.
#include "ReportText.h"

#include <cstdio>

namespace lha {

std::string padded(std::uint64_t value, std::size_t width) {
    std::string text = std::to_string(value);
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string counted(std::uint64_t count, const std::string& noun) {
    return std::to_string(count) + ' ' + noun + (count == 1 ? "" : "s");
}

std::string ratio(std::uint64_t packed, std::uint64_t original) {
    if (original == 0) return "     -";
    // In tenths of a percent, rounded, without floating point.
    const std::uint64_t tenths = (packed * 2000 / original + 1) / 2;
    char text[32];
    std::snprintf(text, sizeof text, "%3llu.%llu%%", static_cast<unsigned long long>(tenths / 10),
                  static_cast<unsigned long long>(tenths % 10));
    return text;
}

} // namespace lha
