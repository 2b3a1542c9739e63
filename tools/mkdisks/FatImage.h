// Floppy images: FAT12 of the four standard floppy formats, the files in the root directory.
//
// Format facts, as written here:
// - Sectors of 512 bytes: the boot sector, then two copies of the FAT, then the root directory
//   (32 bytes an entry), then the data area in clusters numbered from 2.
// - The boot sector: a jump (EB 3C 90) over the BIOS parameter block to the boot code, an
//   8-character OEM name, then at 11 bytes per sector (16-bit), 13 sectors per cluster, 14
//   reserved sectors (16), 16 FAT count, 17 root entries (16), 19 total sectors (16), 21 media
//   byte, 22 sectors per FAT (16), 24 sectors per track (16), 26 heads (16), 28 hidden sectors
//   (32), 32 large total (32, 0 here), 36 drive number, 38 extended signature 0x29, 39 volume
//   serial number (32), 43 volume label (11), 54 "FAT12   "; 0x55 0xAA ends the sector.
//   All numbers are little-endian.
// - The standard formats:      1.44M  1.2M   720K   360K
//     total sectors            2880   2400   1440   720
//     sectors per cluster      1      1      2      2
//     root entries             224    224    112    112
//     sectors per FAT          9      7      3      2
//     media byte               F0     F9     F9     FD
//     sectors per track/heads  18/2   15/2   9/2    9/2
//   so that they hold 1,457,664, 1,213,952, 730,112 and 362,496 bytes of files; on 720K and
//   360K a file takes whole clusters of 1,024 bytes.
// - FAT12: 12 bits a cluster, two clusters in three bytes (cluster n at byte n * 3 / 2; an even
//   cluster the low 12 bits there, an odd one the high 12). Entry 0 is the media byte with
//   0xF00, entry 1 is 0xFFF; a chain ends with 0xFFF. An empty file has cluster 0.
// - A directory entry: 8 + 3 name characters (blank-padded, upper case), attributes (0x20
//   archive, 0x08 volume label, 0x0F long-name part), 13 creation tenths of a second, 14
//   creation time, 16 creation date, 18 access date, 22 write time, 24 write date, 26 first
//   cluster, 28 size. Times are local: hour << 11 | minute << 5 | second / 2; dates are
//   (year - 1980) << 9 | month << 5 | day.
// - A name that is not its own 8.3 form is stored as well in long-name entries before its
//   8.3 entry, last part first: sequence number (0x40 on the last), 13 UTF-16 characters at
//   1 (5), 14 (6) and 28 (2), attributes 0x0F, the checksum of the 8.3 name at 13, after the
//   name a 0x0000 and then 0xFFFF to the end of the part.
// - The volume label is in the boot sector and, as an entry with attribute 0x08, first in
//   the root directory.
#pragma once

#include "ImageWriting.h"

#include <array>

namespace mkdisks {

struct FloppyFormat {
    const char* name;               // as --disk-size names it
    std::uint16_t sectors;          // in all, of 512 bytes
    std::uint8_t sectorsPerCluster; //
    std::uint16_t rootEntries;      //
    std::uint8_t fatSectors;        // of each of the two FATs
    std::uint8_t media;             // media byte
    std::uint8_t sectorsPerTrack;   //
    std::uint8_t heads;             //

    std::uint64_t clusterBytes() const { return sectorsPerCluster * 512u; }
    // Bytes of the data area: what the floppy holds for files.
    std::uint64_t dataBytes() const;
};

extern const std::array<FloppyFormat, 4> kFloppyFormats;
// Characters of a volume label.
constexpr std::size_t kFatMaxLabel = 11;

// The format whose data area holds `bytes`; null for none.
const FloppyFormat* floppyOfSize(std::uint64_t bytes);
// Whether the files fit the format's data area and root directory.
bool fitsFloppy(const FloppyFormat& format, const std::vector<ImageFile>& files);

// Writes the image of the files. BadCommand with `error` set when they cannot be in it (no
// room, a name without a UTF-16 form or too long); the file system's status otherwise.
lha::Status writeFatImage(const FloppyFormat& format, const std::string& label,
                          const std::vector<ImageFile>& files, lha::FileSystem& fileSystem,
                          lha::OutputSink& out, std::string& error);

} // namespace mkdisks
