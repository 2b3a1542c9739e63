// Text to number conversion with the framework's rules.
#pragma once
#include <cstdint>
#include <string>

// A 32-bit integer from text: decimal with an optional sign, or hexadecimal after "$", "0x" or
// "0X" (wrapping to 32 bits as the hex digits give it); anything else, an empty text or a
// decimal out of range gives fallback.
int32_t StrToIntDef(const std::string& text, int32_t fallback);
