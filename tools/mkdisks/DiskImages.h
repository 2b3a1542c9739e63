// The disk set as images: one CD image (ISO 9660 with Joliet names) or floppy image (FAT12) of
// each disk folder, ready to mount, burn or hand to an emulator.
#pragma once

#include "FileSystem.h"
#include "Job.h"
#include "Options.h"

#include <cstdint>
#include <string>

namespace mkdisks {

// Why the images that `options` ask for cannot hold a set whose largest file has
// `largestFile` bytes (CD images: 4 GiB - 1 at most, no file in several extents) or the
// project's file names; empty when they can.
std::string refusedImages(const Options& options, std::uint64_t largestFile);

// Writes OUT_FOLDER/NAME-disk1.iso ... (or .img) from the folders disk1 ... disk`disks`:
// floppy images when options.imageFormat says "img", or says nothing and the disk size is a
// floppy's; CD images otherwise. Each is written under a temporary name and then moved into
// place; when one fails, none of them stays. BadCommand when the files cannot be in the
// format; the file system's status otherwise.
lha::Status writeDiskImages(const Options& options, int disks, lha::FileSystem& fileSystem,
                            lha::Observer& observer);

// The volume labels of disk `disk`, made of the project name (as the system names it) and the
// number, within each format's rules: "PROJECT1_DISK1" for the CD's primary tree, "Project1
// Disk 1" for its Joliet tree, "PROJECT1_1" for a floppy.
std::string isoLabel(const std::string& project, int disk);
std::u16string jolietLabel(const std::string& project, int disk);
std::string fatLabel(const std::string& project, int disk);

} // namespace mkdisks
