// What the disk image writers share: the files an image holds, their 8.3 names, byte orders,
// times, and copying the files' bytes in.
#pragma once

#include "FileSystem.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace mkdisks {

// Bytes of an image's structures, built in memory before they are written.
using Bytes = std::vector<std::uint8_t>;

struct ImageFile {
    std::string name;          // as the system names it
    std::string path;          // where its bytes are read from
    std::uint64_t size = 0;    // bytes
    std::int64_t modified = 0; // last-write time, seconds since 1970 UTC
};

// Units of `unit` bytes that `size` bytes take.
constexpr std::uint64_t units(std::uint64_t size, std::uint64_t unit) {
    return (size + unit - 1) / unit;
}

// Little- and big-endian integers of `bytes` bytes at `at`.
void putLittle(std::uint8_t* at, std::uint64_t value, int bytes);
void putBig(std::uint8_t* at, std::uint64_t value, int bytes);

// How cut names are told apart in 8.3 form.
struct ShortNameRule {
    char mark;    // before the number that makes a name unique: NAME~1
    bool markCut; // every name that had to change gets a number, not only a clash
};
// Unique 8.3 names ("NAME.EXT", upper case A-Z, 0-9 and _) for the files, in their order: other
// characters become _, the name is cut to 8 and the extension to 3 characters.
std::vector<std::string> shortNames(const std::vector<ImageFile>& files, ShortNameRule rule);

// The newest last-write time of the files; 0 for none.
std::int64_t newest(const std::vector<ImageFile>& files);
// The time as UTC or local calendar fields (std::gmtime, std::localtime).
std::tm utcTime(std::int64_t seconds);
std::tm localTime(std::int64_t seconds);

lha::Status writeZeros(lha::OutputSink& out, std::uint64_t count);
// Copies the file's bytes, then zeros up to a whole number of units. ReadFailed when it is no
// longer as large as listed.
lha::Status copyPadded(lha::FileSystem& fileSystem, const ImageFile& file, lha::OutputSink& out,
                       std::uint64_t unit);

} // namespace mkdisks
