// Path rules for byte strings in the ANSI code page, which may be a double-byte code page:
// a 0x5C byte that is the second byte of a double-byte character is no path delimiter.
#pragma once
#include <string>

// Whether the byte at index starts a character (it is not the trail byte of a double-byte one).
bool IsCharStart(const std::string& text, size_t index);
// Index of the last byte of text that is one of delimiters and a character of its own; npos
// when there is none.
size_t LastDelimiter(const std::string& text, const char* delimiters);
// Number of characters, a double-byte character counting as one.
size_t CharCount(const std::string& text);
// The last character (one or two bytes); empty for an empty text.
std::string LastChar(const std::string& text);

// path unchanged when it ends in a single-byte backslash, else path + "\"; "" gives "\".
std::string AddBackslash(const std::string& path);
// The text up to and including the last "\" or ":" (empty when there is none).
std::string ExtractFilePath(const std::string& path);
// The text after the last "\" or ":".
std::string ExtractFileName(const std::string& path);
// The folder part: the path without its last name and the backslash before it; a drive's root
// ("C:\") and a folder given with a trailing backslash keep that backslash.
std::string ExtractFileDir(const std::string& path);
// path with its extension (from the last "." of the file-name part) replaced by extension; a
// name without one gets extension appended.
std::string ChangeFileExt(const std::string& path, const std::string& extension);
