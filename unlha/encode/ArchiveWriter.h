// Writing an archive: level-2 headers with the folder, name, MS-DOS attributes and time stamp
// of each entry, and each file's data packed, or stored when packing does not make it smaller.
#pragma once

#include "Encoder.h"
#include "FileSystem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lha {

// An entry as written, to check the archive against.
struct WrittenEntry {
    std::string method;             // "-lh5-", "-lh0-", "-lhd-" ...
    std::string directory;          // stored folder: names in code page 932, each ended by 0xFF
    std::string name;               // stored name in code page 932; empty for a folder
    std::uint64_t originalSize = 0; // bytes of the file
    std::uint64_t packedSize = 0;   // bytes of its data in the archive
    std::uint16_t crc = 0;          // CRC-16 of the file
};

class ArchiveWriter {
public:
    // Files are packed by `encoder` with `method` (one that canEncode() accepts), or stored.
    ArchiveWriter(ArchiveFile& file, Encoder& encoder, std::string method);

    // `folders`: the stored path's folder names in code page 932, outermost first.
    Status addFolder(const std::vector<std::string>& folders, const Timestamp& modified,
                     std::uint16_t attributes);
    // The file's data comes from `input`, all of its size (below 4 GiB).
    Status addFile(const std::vector<std::string>& folders, const std::string& name, Input& input,
                   const Timestamp& modified, std::uint16_t attributes);
    // Writes the end marker and closes the file.
    Status finish();

    const std::vector<WrittenEntry>& entries() const { return entries_; }
    std::uint64_t size() const { return position_; }

    // Sizes the header fields hold: files of this size and more are refused (Unsupported).
    static constexpr std::uint64_t kMaxFileSize = 0xFFFFFFFFull;

private:
    Status writeHeader(const WrittenEntry& entry, const Timestamp& modified,
                       std::uint16_t attributes);
    Status store(Input& input, std::uint64_t size, std::uint16_t& crc);

    ArchiveFile& file_;
    Encoder& encoder_;
    std::string method_;
    std::uint64_t position_ = 0;
    std::vector<std::uint8_t> header_;
    std::vector<std::uint8_t> copy_; // buffer for stored data
    std::vector<WrittenEntry> entries_;
};

} // namespace lha
