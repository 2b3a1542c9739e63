// Drive letters of the test prefix mapped onto folders, as game disks and drives of every type.
// The prefix gives each letter a fixed type (scripts/wine-prefix); a mapping re-points the
// letter's link in the prefix's dosdevices folder, which Wine honours at once.
#pragma once
#include <string>

namespace testbed {

enum class DriveKind { Fixed, CdRom, Floppy, Network };

class DriveMapping {
public:
    // Maps a free letter of this kind onto folder (a Windows path that need not exist: a
    // missing folder is a drive without a medium).
    DriveMapping(DriveKind kind, const std::string& folder);
    DriveMapping(const DriveMapping&) = delete;
    DriveMapping& operator=(const DriveMapping&) = delete;
    ~DriveMapping(); // removes the letter

    char Letter() const { return letter_; }
    std::string Root() const { return std::string(1, letter_) + ":\\"; }
    // Points the letter at another folder: the user swapped the disk.
    void Repoint(const std::string& folder);

private:
    char letter_;
};

// Makes link a host symbolic link to the folder target (both Windows paths in the prefix; link
// must not exist). Wine programs see it as a folder with the reparse-point attribute, as a
// junction or a symbolic link shows on Windows.
void MakeFolderLink(const std::string& link, const std::string& target);
// Makes link a second host name of the file target (both Windows paths in the prefix; link must
// not exist): a symbolic link, which Wine programs see as a plain file (no reparse-point
// attribute; a handle opened by its name leads to the target, and deleting it by name deletes
// the target), or a hard link (nNumberOfLinks 2).
enum class FileLinkKind { Symbolic, Hard };
void MakeFileLink(const std::string& link, const std::string& target, FileLinkKind kind);
// Removes a link made by MakeFolderLink or MakeFileLink from the host side (Wine 8 cannot remove
// a link from Windows code: deleting it by name deletes or empties its target).
void RemoveFolderLink(const std::string& link);

} // namespace testbed
