// Making a game's disk set: the game packed into one archive, split over the disks when it
// must be, Setup.exe, its description and UNLHA32.DLL put on the first disk, and the set
// checked by decoding it.
#pragma once

#include "FileSystem.h"
#include "Job.h"
#include "Options.h"

namespace mkdisks {

// Makes the set that `options` ask for; options.programs must name the programs' folder.
// Reports each step and warns (through error(), going on) when the game folder has no
// LUM_RT.exe at its top. BadCommand when the names or the sizes cannot make a set; the
// codec's status when packing or checking fails; WriteFailed when OUT_FOLDER holds anything
// already. Once observer.cancelled() says so, the run stops at its next read or write with
// Cancelled. A run that does not end with Ok removes the files and folders it made (OUT_FOLDER
// too, when it made it), and nothing else.
lha::Status makeDisks(const Options& options, lha::FileSystem& fileSystem, lha::Observer& observer);

} // namespace mkdisks
