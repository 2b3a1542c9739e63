// CD images: ISO 9660 with Joliet names, one root directory holding the disk's files.
//
// Format facts (ECMA-119 with the Joliet extension), as written here:
// - Sectors of 2048 bytes. Sectors 0-15 are the system area (zeros). From 16 on, the volume
//   descriptors: the primary (type 1) at 16, the Joliet supplementary one (type 2, escape
//   sequence "%/E" at offset 88: UCS-2 level 3) at 17, the terminator (type 255) at 18; each
//   begins with its type, "CD001" and version 1.
// - Numbers are "both-endian" (little-endian copy, then big-endian) except the path-table
//   locations, which the L table and the M table each hold in their own order. Offsets in a
//   descriptor: 8 system id (32), 40 volume id (32), 80 volume space size in sectors, 120 set
//   size, 124 sequence number, 128 block size, 132 path table size, 140 L table sector (LE),
//   148 M table sector (BE), 156 root directory record (34), 190 set/publisher/preparer/
//   application ids (4 x 128), 702 copyright/abstract/bibliography files (3 x 37), 813
//   creation, modification, expiration and effective dates (4 x 17: "YYYYMMDDhhmmsscc" and a
//   GMT offset in 15-minute steps; all zeros for none), 881 structure version 1.
//   The primary's ids are upper-case A-Z 0-9 _ padded with blanks; the Joliet descriptor's are
//   UCS-2 big-endian padded with UCS-2 blanks (16 characters of volume id).
// - A path table lists the directories: per entry the id length, 0, the directory's sector, its
//   parent's number (the root is 1, its own parent) and the id (0x00 for the root), padded to
//   even. Each tree (primary, Joliet) has an L and an M table.
// - A directory record: length, 0, extent sector, data length, 7-byte time (years since 1900,
//   month, day, hour, minute, second, GMT offset), flags (0x02 directory), 0, 0, volume
//   sequence 1, id length, id, a pad byte when the id length is even. Records never cross a
//   sector; a directory starts with "." (id 0x00) and ".." (id 0x01), then its files in id
//   order. Level 1 file ids are "NAME.EXT;1" of at most 8 and 3 characters A-Z 0-9 _; Joliet
//   ids are the names as they are, in UCS-2 big-endian, at most 64 characters.
// - File sizes are 32-bit: a file above 4 GiB - 1 would need several extents, which this writer
//   does not make; it refuses such a file.
// - Burning tools pad the image to a multiple of 16 sectors and add 150 sectors (300 KiB) of
//   zeros after it, counted in the volume space size, so that a drive's read-ahead at the end
//   of the track finds data.
#pragma once

#include "ImageWriting.h"

namespace mkdisks {

// The largest file an image takes.
constexpr std::uint64_t kIsoMaxFile = 0xFFFFFFFFull;
// Characters of the Joliet names and the volume ids.
constexpr std::size_t kJolietMaxName = 64;
constexpr std::size_t kIsoMaxLabel = 32;
constexpr std::size_t kJolietMaxLabel = 16;

struct IsoLabels {
    std::string primary;   // A-Z 0-9 _, at most kIsoMaxLabel
    std::u16string joliet; // at most kJolietMaxLabel
};

// Writes the image of the files. BadCommand with `error` set when a file cannot be in it (too
// large, a name without a UTF-16 form or too long); the file system's status otherwise.
lha::Status writeIsoImage(const IsoLabels& labels, const std::vector<ImageFile>& files,
                          lha::FileSystem& fileSystem, lha::OutputSink& out, std::string& error);

} // namespace mkdisks
