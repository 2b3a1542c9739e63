// Writes LHA headers of every level around given packed data, for tests and fuzz seeds.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lha::test {

struct TestEntry {
    std::string method = "-lh0-";
    int level = 2;
    std::string name;      // level 0: the whole path; levels 1-3: extended header 0x01
    std::string directory; // levels 1-3: extended header 0x02, written as given
    std::string packed;    // the packed data
    std::uint64_t originalSize = 0;
    std::uint16_t crc = 0;           // CRC-16 of the original data
    std::uint32_t time = 0x5A6B7C8D; // DOS stamp at levels 0/1, Unix time at 2/3
    std::uint8_t os = 'M';
    int unixMode = -1;     // extended header 0x50, or level 0's Unix area
    bool headerCrc = true; // levels 1-3: write extended header 0x00
    int padding = 0;       // level 2: zero bytes after the chain, in the size
    std::vector<std::pair<std::uint8_t, std::string>> extended; // more extended headers
};

// An entry of a stored file (-lh0-).
TestEntry storedEntry(const std::string& name, const std::string& content, int level = 2);
// An entry of `content` packed by `method` with the test encoders ("-lh0-", "-lh1-",
// "-lzs-", "-lz5-").
TestEntry packedEntry(const std::string& method, const std::string& name,
                      const std::string& content, int level = 2);

std::string header(const TestEntry& entry);
// Headers and data of all entries, then the end marker when asked for.
std::string archive(const std::vector<TestEntry>& entries, bool endMarker = true);

std::uint16_t crcOf(const std::string& data);

} // namespace lha::test
