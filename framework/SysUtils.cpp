// Text to number conversion.
#include "SysUtils.h"

#include <cctype>

int32_t StrToIntDef(const std::string& text, int32_t fallback) {
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    bool hex = false;
    if (at < text.size() && text[at] == '$') {
        hex = true;
        ++at;
    } else if (at + 1 < text.size() && text[at] == '0' &&
               (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        hex = true;
        at += 2;
    }
    if (at == text.size()) return fallback;
    uint64_t value = 0;
    for (; at < text.size(); ++at) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (hex && std::isxdigit(c)) {
            value = value * 16 + (std::isdigit(c) ? c - '0' : (std::tolower(c) - 'a' + 10));
            if (value > 0xFFFFFFFFu) return fallback;
        } else if (!hex && std::isdigit(c)) {
            value = value * 10 + (c - '0');
            if (value > (negative ? 0x80000000u : 0x7FFFFFFFu)) return fallback;
        } else {
            return fallback;
        }
    }
    const auto bits = static_cast<uint32_t>(negative ? 0 - value : value);
    return static_cast<int32_t>(bits);
}
