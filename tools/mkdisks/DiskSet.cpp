// Disk sizes, the volume plan, the setup description and the name rules.
#include "DiskSet.h"

#include "EntryPath.h"
#include "FatImage.h"
#include "PackJob.h"
#include "SetupNames.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace mkdisks {
namespace {

// What formatted floppies hold for files: whole clusters of the FAT12 data area.
// Setup forms its paths in four folders: the base folder the player picks, its own folder on
// the disk, the temporary-files folder and the Start menu's Programs folder. A set is made for
// each of them up to this long (bytes, with the trailing backslash): the Programs folder of a
// profile whose folder name has 64 bytes (32 double-byte characters), a disk set copied a few
// folders deep, a base folder three times as long as the one Setup offers. Setup checks the
// real folders when it runs.
constexpr SetupFolders kPlannedFolders = {128, 128, 128, 128};

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Bytes the first disk holds besides its volume, for a set of `volumes` volumes.
std::uint64_t reserve(const DiskSetSize& set, int volumes) {
    return set.programs + onDisk(setupDescription(set.project, set.title, volumes).size(),
                                 allocationUnit(set.diskSize));
}

// False with `error` set when a disk cannot hold the first disk's other files, for a set of
// `volumes` volumes, and a volume beside them.
bool firstDiskHolds(const DiskSetSize& set, int volumes, std::string& error) {
    const std::uint64_t first = reserve(set, volumes);
    if (first < set.diskSize / kSector * kSector) return true;
    error = "a disk of " + std::to_string(set.diskSize) +
            " bytes does not hold Setup.exe, its description and UNLHA32.DLL (" +
            std::to_string(first) + " bytes) with a volume beside them";
    return false;
}

// Fills disks of set.diskSize in turn. False when the first disk cannot hold its files.
bool fillDisks(const DiskSetSize& set, std::vector<std::uint64_t>& volumes, std::string& error) {
    const std::uint64_t unit = allocationUnit(set.diskSize);
    const std::uint64_t perDisk = set.diskSize / unit * unit;
    // The description's size depends on the count; settle it by planning again until the
    // count stays.
    int count = 2;
    for (int round = 0; round < 4; ++round) {
        const std::uint64_t first = reserve(set, count);
        if (!firstDiskHolds(set, count, error)) return false;
        volumes.assign(1, std::min(perDisk - first, set.archive));
        for (std::uint64_t left = set.archive - volumes[0]; left > 0; left -= volumes.back())
            volumes.push_back(std::min(perDisk, left));
        if (static_cast<int>(volumes.size()) == count) break;
        count = static_cast<int>(volumes.size());
    }
    return true;
}

bool fitsWhole(const DiskSetSize& set) {
    return set.diskSize == 0 ||
           reserve(set, 0) + onDisk(set.archive, allocationUnit(set.diskSize)) <= set.diskSize;
}

std::string disksNeeded(const DiskSetSize& set) {
    std::vector<std::uint64_t> volumes;
    std::string error;
    if (fitsWhole(set)) return "the game fits on one disk";
    if (!fillDisks(set, volumes, error)) return error;
    return "the game needs " + std::to_string(volumes.size()) + " disks of " +
           std::to_string(set.diskSize) + " bytes";
}

// Setup's own rules first, then what Windows does not take as a name (device names, a dot at
// the end) and what Setup's INI reading would change.
const char* refusedValue(const std::string& value) {
    if (const char* why = RefusedSetupName(value, lha::isShiftJisLeadByte)) return why;
    // Setup's INI reading drops blanks around a value.
    if (value.front() == ' ' || value.back() == ' ' || value.front() == '\t')
        return "it begins or ends with a blank";
    return lha::refusedName(value);
}

} // namespace

bool parseDiskSize(const std::string& text, std::uint64_t& bytes) {
    // What formatted floppies hold for files: the FAT12 data area.
    for (const FloppyFormat& floppy : kFloppyFormats) {
        if (upper(text) == floppy.name) {
            bytes = floppy.dataBytes();
            return true;
        }
    }
    std::size_t digits = 0;
    while (digits < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[digits])) || text[digits] == '.'))
        ++digits;
    if (digits == 0 || text.find('.') != text.rfind('.')) return false;
    const std::string unit = upper(text.substr(digits));
    double scale = 1;
    if (unit == "K")
        scale = 1024.0;
    else if (unit == "M")
        scale = 1024.0 * 1024;
    else if (unit == "G")
        scale = 1e9;
    else if (!unit.empty())
        return false;
    // A byte count is whole: "1.44" alone is a floppy's size without its unit, not one byte.
    if (unit.empty() && text.find('.') != std::string::npos) return false;
    const double value = std::strtod(text.substr(0, digits).c_str(), nullptr) * scale;
    if (!(value >= 1) || value > 1e18) return false;
    bytes = static_cast<std::uint64_t>(value);
    return true;
}

std::string setupDescription(const std::string& project, const std::string& title, int volumes) {
    std::string text = "[Setup]\r\nProjectName=" + project + "\r\nGameTitle=" + title + "\r\n";
    if (volumes > 0) text += "DiskNumber=" + std::to_string(volumes) + "\r\n";
    return text;
}

std::string volumeName(const std::string& project, int number) {
    char extension[16];
    std::snprintf(extension, sizeof extension, ".%03d", number);
    return project + extension;
}

bool programsFit(const DiskSetSize& set, std::string& error) {
    // The description is smallest for one volume.
    return set.diskSize == 0 || firstDiskHolds(set, 1, error);
}

std::uint64_t allocationUnit(std::uint64_t diskSize) {
    const FloppyFormat* floppy = floppyOfSize(diskSize);
    return floppy != nullptr ? floppy->clusterBytes() : kSector;
}

bool planVolumes(const DiskSetSize& set, std::vector<std::uint64_t>& volumes, std::string& error) {
    volumes.clear();
    if (set.disks <= 1) {
        if (fitsWhole(set)) return true;
        if (set.disks == 1) {
            error = disksNeeded(set);
            return false;
        }
        return fillDisks(set, volumes, error);
    }
    // Even loads, the first disk's counting its other files; when those alone outweigh an
    // even share, the archive is cut into equal volumes.
    const auto count = static_cast<std::uint64_t>(set.disks);
    if (set.archive < count) {
        error = "the game is too small for " + std::to_string(set.disks) + " disks";
        return false;
    }
    const std::uint64_t first = reserve(set, set.disks);
    const bool balanced = (set.archive + first) / count > first;
    const std::uint64_t load = balanced ? set.archive + first : set.archive;
    for (std::uint64_t i = 0; i < count; ++i)
        volumes.push_back(load / count + (i < load % count ? 1 : 0));
    if (balanced) volumes[0] -= first;
    // Programs that leave the first disk less room than an equal volume: it takes what fits,
    // and the other disks share the rest evenly.
    const std::uint64_t room =
        set.diskSize > first ? (set.diskSize - first) / kSector * kSector : 0;
    if (!balanced && set.diskSize != 0 && volumes[0] > room && room > 0) {
        const std::uint64_t rest = set.archive - room;
        for (std::uint64_t i = 1; i < count; ++i)
            volumes[i] = rest / (count - 1) + (i - 1 < rest % (count - 1) ? 1 : 0);
        volumes[0] = room;
    }
    if (set.diskSize != 0) {
        const std::uint64_t unit = allocationUnit(set.diskSize);
        bool fits = first + onDisk(volumes[0], unit) <= set.diskSize;
        for (const std::uint64_t volume : volumes)
            fits = fits && onDisk(volume, unit) <= set.diskSize;
        if (!fits) {
            error = disksNeeded(set);
            volumes.clear();
            return false;
        }
    }
    return true;
}

const char* refusedProjectName(const std::string& name, int volumes) {
    if (const char* why = refusedValue(name)) return why;
    return RefusedProjectLength(name.size(), volumes, kPlannedFolders);
}

std::size_t longestGamePath(const std::string& project) {
    // The base folder with its backslash, the game's folder and a backslash, then the path and
    // the terminating NUL in MAX_PATH (260) bytes.
    const std::size_t before = kPlannedFolders.base + project.size() + 1;
    return before < 259 ? 259 - before : 0;
}

const char* refusedTitle(const std::string& title) {
    if (const char* why = refusedValue(title)) return why;
    return RefusedTitleLength(title.size(), kPlannedFolders);
}

} // namespace mkdisks
