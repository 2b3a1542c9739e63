// Result kinds of the LHA codec; the DLL and the command line hand them out as their codes.
#pragma once

namespace lha {

// The numbers are the public result codes of Unlha() and the exit codes of `unlha`.
enum class Status : int {
    Ok = 0,
    NotArchive = 1,  // no LHA header where the archive should start
    BrokenData = 2,  // malformed header or compressed data, truncation, CRC mismatch
    Unsupported = 3, // compression method this library does not decode
    WriteFailed = 4, // a file or folder could not be created or written
    RefusedPath = 5, // stored path would leave the destination folder or name a device
    Cancelled = 6,   // the user stopped the work
    BadCommand = 7,  // command line not understood
    ReadFailed = 8,  // the archive file could not be opened or read
    OutOfMemory = 9, // the system refused the fixed buffers the codec needs
};

// Short English description for logs and error messages.
const char* describe(Status status);

} // namespace lha
