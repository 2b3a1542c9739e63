// The disk set of a game as Setup reads it: disk sizes, the split of the archive into volumes,
// the setup description and the names Setup can use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkdisks {

// Disks keep files in whole sectors of this size.
constexpr std::uint64_t kSector = 512;
// Bytes a file of `size` bytes takes on a disk that keeps files in units of `unit` bytes.
constexpr std::uint64_t onDisk(std::uint64_t size, std::uint64_t unit = kSector) {
    return (size + unit - 1) / unit * unit;
}
// What a disk of this size keeps files in: clusters of two sectors on 720K and 360K floppies,
// sectors on others.
std::uint64_t allocationUnit(std::uint64_t diskSize);

// A disk size: bytes, or a number with a unit K (1,024 bytes), M (1,024 K) or G (10^9 bytes,
// as DVDs are counted). The floppy sizes 1.44M, 1.2M, 720K and 360K stand for what such a
// floppy holds for files (1.44M: 1,457,664 bytes). False when the text is none of these.
bool parseDiskSize(const std::string& text, std::uint64_t& bytes);

// The setup description Setup reads beside itself, in code page 932 with CRLF line ends:
// [Setup] with ProjectName, GameTitle and, when the archive is split, DiskNumber.
std::string setupDescription(const std::string& project, const std::string& title, int volumes);

// The name of volume `number` (1, 2 ...): NAME.001, NAME.002 ..., as Setup looks for them.
std::string volumeName(const std::string& project, int number);

struct DiskSetSize {
    std::uint64_t archive = 0;  // bytes of the whole archive
    std::uint64_t programs = 0; // bytes Setup.exe and UNLHA32.DLL take on the first disk
    std::string project;        // names in code page 932, for the description's size
    std::string title;          //
    std::uint64_t diskSize = 0; // what a disk holds; 0: no limit
    int disks = 0;              // disks asked for; 0: as many as the disk size needs
};

// How the archive is spread over the disks: `volumes` gets the size of each volume, or stays
// empty when the archive goes whole onto the first disk. Without a disk count the disks are
// filled in turn. With one, the disks are filled evenly, the first counting Setup.exe, the
// description and the library; when those alone hold more than an even share, the archive is
// cut into equal volumes. False with `error` set when the game does not fit (saying how many
// disks it needs) or the disks are too small or too many for it.
bool planVolumes(const DiskSetSize& set, std::vector<std::uint64_t>& volumes, std::string& error);
// False with `error` set when a disk of set.diskSize cannot hold the programs, the description
// and a volume whatever the archive's size: known before anything is packed.
bool programsFit(const DiskSetSize& set, std::string& error);

// Why Setup cannot use the name (code page 932) as its game folder, archive and registry key
// name, for a set of `volumes` volumes (0: one archive), or the title as its shortcut's name,
// wherever Setup's folders are no longer than a set is made for; null when it can.
const char* refusedProjectName(const std::string& name, int volumes = 0);
const char* refusedTitle(const std::string& title);
// The longest path (bytes, code page 932) a file or folder may have in the game folder, so
// that Setup's path to it in the game's folder named `project` stays below MAX_PATH wherever
// the base folder is no longer than a set is made for.
std::size_t longestGamePath(const std::string& project);

} // namespace mkdisks
