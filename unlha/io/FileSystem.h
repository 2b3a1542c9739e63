// What extraction and archiving need from the file system: one interface, a POSIX and a Win32
// implementation.
#pragma once

#include "Input.h"
#include "OutputWindow.h"
#include "Timestamp.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lha {

// A file being written. Until finish() it may be incomplete.
class OutputFile : public OutputSink {
public:
    // Gives the file its last-write time (when set) and closes it.
    virtual Status finish(const Timestamp& modified) = 0;
};

// An archive being written: bytes go on at the current position, which may be moved back to
// complete a header once its entry's data is packed.
class ArchiveFile : public OutputSink {
public:
    virtual Status seek(std::uint64_t position) = 0;
    // Ends the file at the current position and closes it.
    virtual Status finish() = 0;
};

// One thing found in a folder.
struct FolderItem {
    enum class Kind {
        File,
        Folder,
        Other, // devices, pipes, sockets, links to folders
    };
    std::string name;             // as the system gives it
    Kind kind = Kind::Other;      // what it is
    std::uint64_t size = 0;       // bytes of a file
    Timestamp modified;           // last-write time
    std::uint16_t attributes = 0; // MS-DOS attributes (read-only, hidden, system, folder, archive)
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The separator this system puts between folders.
    virtual char separator() const = 0;
    // `folder` and `name` joined by one separator.
    virtual std::string join(const std::string& folder, const std::string& name) const = 0;
    // False when this system would read a checked path part as more than one name, e.g.
    // because its code page pairs bytes differently from code page 932.
    virtual bool acceptsName(const std::string& name) const = 0;

    // Opens a file to read: an archive, or a file to be packed.
    virtual Status openArchive(const std::string& path, std::unique_ptr<Input>& input) = 0;
    // Creates the folder and any missing parents; Ok when it exists, also as a link to a folder.
    // `made` receives the folders this call created, outermost first.
    virtual Status makeFolders(const std::string& path, std::vector<std::string>& made) = 0;
    // Creates one folder in an existing one; Ok when a folder is there, RefusedPath when a link
    // is (what is written into it would land wherever the link leads).
    virtual Status makeFolder(const std::string& path) = 0;
    // Creates the file, writable, only where nothing is yet; `existed` set when something was.
    virtual Status createFile(const std::string& path, std::unique_ptr<OutputFile>& file,
                              bool& existed) = 0;
    // Moves `from` to `to`, replacing a file there, even a read-only one.
    virtual Status replaceFile(const std::string& from, const std::string& to) = 0;
    virtual void removeFile(const std::string& path) = 0;
    // Removes the folder when it is empty.
    virtual void removeFolder(const std::string& path) = 0;

    // What the folder holds, in no particular order, without "." and "..".
    virtual Status listFolder(const std::string& path, std::vector<FolderItem>& items) = 0;
    // What `path` is, as listFolder() lists it in its folder, but following a link to a folder:
    // item.name is its last name ("" for a root). ReadFailed when nothing is there or it cannot
    // be read.
    virtual Status examine(const std::string& path, FolderItem& item) = 0;
    // One name as this system gives it, in code page 932 as archives store it; false when the
    // name has no such form.
    virtual bool toArchiveName(const std::string& name, std::string& stored) const = 0;
    // A stored name (code page 932) as this system writes and shows it; toArchiveName() gives
    // the stored bytes back.
    virtual std::string fromArchiveName(const std::string& stored) const = 0;
    // Creates the file to write an archive into, only where nothing is yet; `existed` set when
    // something was.
    virtual Status createArchive(const std::string& path, std::unique_ptr<ArchiveFile>& file,
                                 bool& existed) = 0;
};

// The file system of the system this library was built for (POSIX or Win32).
std::unique_ptr<FileSystem> makeFileSystem();

} // namespace lha
