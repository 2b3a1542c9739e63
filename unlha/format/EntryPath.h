// Turning an entry's stored folder and name into safe path parts, and showing them in messages.
#pragma once

#include "Header.h"
#include "Status.h"

#include <string>
#include <vector>

namespace lha {

// Stored names are split with the rules of code page 932, the code page of nearly every
// archive with non-ASCII names, on every system: a lead byte (0x81-0x9F, 0xE0-0xFC) and a
// trail byte (0x40-0x7E, 0x80-0xFC) are one character, so a trail byte 0x5C is not a
// separator. '/' and the 0xFF of extended header 0x02 are never trail bytes.
bool isShiftJisLeadByte(std::uint8_t byte);
bool isShiftJisTrailByte(std::uint8_t byte);

struct EntryPath {
    std::vector<std::string> parts; // folders, then the name; each one checked
    bool isFolder = false;          // the stored path ends in a separator
    bool rooted = false;            // stored with one leading separator, which is dropped
};

// Splits and checks the entry's path. A path stored from the root ("\dir\file", as some
// Windows writers store them) is taken as relative. RefusedPath, with `why` set, for UNC
// paths (two leading separators), drive letters and streams (':'), "..", names of only dots and blanks, control characters
// and device names (CON, NUL, AUX, PRN, COM1-9, LPT1-9, with or without extension).
Status splitEntryPath(const Entry& entry, EntryPath& path, const char*& why);

// True for a Unix symbolic link (mode 0120000, or a folder entry named "link|target").
bool isSymbolicLink(const Entry& entry);

// The stored folder and name for messages: 0xFF shown as '/', control bytes as \xNN.
std::string printablePath(const Entry& entry);

} // namespace lha
