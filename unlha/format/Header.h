// One archive entry's header: what it says about the file, and the reader of all header levels.
#pragma once

#include "ByteStream.h"
#include "Timestamp.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lha {

// Types of the extended headers that the library reads or writes.
enum ExtendedHeader : std::uint8_t {
    kHeaderCrc = 0x00,    // CRC-16 of the whole header, with this field zeroed
    kFileName = 0x01,     // the name
    kDirectory = 0x02,    // the folder: names each ended by kFolderSeparator
    kAttributes = 0x40,   // MS-DOS attributes
    kWindowsTimes = 0x41, // creation, last write and last access FILETIMEs
    kSizes64 = 0x42,      // 64-bit packed and original sizes
    kUnixMode = 0x50,     // Unix mode bits
    kUnixTime = 0x54,     // Unix last-write time
};
constexpr std::uint8_t kFolderSeparator = 0xFF;
// A level-2 header's fixed part, up to and including the size of the first extended header.
constexpr std::size_t kLevel2FixedPart = 26;

// The MS-DOS attributes of a level-2 or level-3 entry that has no attributes header: a folder
// for the folder method, an ordinary file otherwise. Writers leave the header out for these.
std::uint16_t impliedAttributes(std::string_view method);

struct Entry {
    std::string method;             // five-byte method ID, e.g. "-lh5-"
    int level = 0;                  // header level, 0 to 3
    std::uint64_t headerOffset = 0; // where the header starts in the archive
    std::uint64_t dataOffset = 0;   // where the packed data starts
    std::uint64_t packedSize = 0;   // bytes of packed data
    std::uint64_t originalSize = 0; // bytes of the file
    std::uint16_t crc = 0;          // CRC-16 of the file
    bool hasCrc = true;             // false for the oldest level-0 headers
    std::string name;               // stored name bytes; at level 0 the whole path
    std::string directory;          // stored folder bytes (extended header 0x02), as stored
    std::uint8_t os = 0;            // ID of the writer's system: 'M', 'U', 'w', ...
    std::uint16_t attributes = 0;   // MS-DOS attributes
    int unixMode = -1;              // Unix mode bits, -1 when not stored
    Timestamp modified;             // last-write time, the most precise form stored
};

class HeaderReader {
public:
    // Reads the header at the stream's position. `end` is set at the archive's end marker or
    // at the end of the file. On success the stream stands at the entry's packed data.
    // BrokenData (with problem() saying why) when the header is malformed.
    Status read(ByteStream& stream, Entry& entry, bool& end);
    // As read(), for the first header: junk in front of it (a self-extractor's program) is
    // skipped, taking a candidate only when its checksum or header CRC holds.
    // NotArchive when no header is found.
    Status readFirst(ByteStream& stream, Entry& entry, bool& end);

    // What was wrong with the last header that failed.
    const char* problem() const { return problem_; }

private:
    Status parse(ByteStream& stream, Entry& entry, bool& end, bool candidate);
    Status parseLevel01(ByteStream& stream, Entry& entry);
    Status parseLevel2(ByteStream& stream, Entry& entry, bool candidate);
    Status parseLevel3(ByteStream& stream, Entry& entry, bool candidate);
    static void readLevel23Fields(const std::uint8_t* h, Entry& entry);
    Status readChain(ByteStream& stream, std::size_t start, std::uint32_t next, int width,
                     Entry& entry, std::size_t& end);
    Status extend(ByteStream& stream, std::size_t size);
    Status broken(const char* problem);
    // The header CRC (extended header 0x00) covers the whole header with its own field zeroed.
    Status checkHeaderCrc(bool required);
    bool headerCrcHolds();
    void applyExtended(std::uint8_t type, std::size_t at, std::size_t size, Entry& entry);

    std::vector<std::uint8_t> header_; // the header bytes read so far
    std::size_t crcField_ = 0;         // offset of the header CRC in header_, 0 if none
    bool sizes64_ = false;             // extended header 0x42 replaced the size fields
    const char* problem_ = "";
};

} // namespace lha
