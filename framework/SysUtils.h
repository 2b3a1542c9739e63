// Text formatting and conversion with the framework's rules, files and folders.
#pragma once
#include <cstdint>
#include <string>

// A 32-bit integer from text: decimal with an optional sign, or hexadecimal after "$", "0x" or
// "0X" (wrapping to 32 bits as the hex digits give it); anything else, an empty text or a
// decimal out of range gives fallback.
int32_t StrToIntDef(const std::string& text, int32_t fallback);

// Creates a folder with every missing folder above it, outermost first; true when it exists
// afterwards.
bool ForceDirectories(const std::string& folder);

// printf-style formatting into a string.
std::string Format(const char* format, ...);

// Whether path names an existing file (a folder does not count).
bool FileExists(const std::string& path);
// A file's last-write time as local DOS date (high 16 bits) and time (low 16 bits); -1 when
// the file is missing.
int32_t FileAge(const std::string& path);
// Sets a file's last-write time from a local DOS date and time; false when it fails.
bool SetFileAge(const std::string& path, int32_t age);
