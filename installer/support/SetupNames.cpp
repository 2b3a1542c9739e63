// The name rules of Setup's setup description.
#include "SetupNames.h"

#include <cstring>

const char* const RuntimeFileName = "LUM_RT.exe";
const char* const SetupTempFolderName = "LUM_TEMP\\GameDisk";
const char* const SetupShortcutFolder = "Lumetra Studio\\\x83\x51\x81\x5B\x83\x80\\";

namespace {

// Paths of MAX_PATH bytes or more overflow the system's fixed path buffers, the shell's among
// them; the terminating NUL is one of the MAX_PATH.
constexpr std::size_t kMaxPath = 260;

// Bytes of the archive's extension: ".lzh", or the last volume's ".001" ... ".999", ".1000" ...
std::size_t ExtensionLength(int volumes) {
    std::size_t digits = 3;
    for (int rest = volumes / 1000; rest > 0; rest /= 10)
        ++digits;
    return 1 + digits;
}

bool Fits(std::size_t length) {
    return length < kMaxPath;
}

// Whether Windows takes name for a device: its part before the first ".", blanks at its end
// dropped, is a device's name in any case ("nul.lzh" and "COM1 .lnk" are devices too). The
// names are ASCII, and "." and " " are never trail bytes, so a byte-wise look is safe.
bool NamesDevice(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    base.erase(base.find_last_not_of(' ') + 1);
    for (char& c : base)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (base == device) return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

} // namespace

const char* RefusedSetupName(const std::string& name, LeadByteTest isLeadByte) {
    if (name.empty()) return "it is empty";
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (isLeadByte(byte)) {
            // A lead byte without its trail byte would take the byte after the name, such as
            // the backslash Setup appends, as its second half.
            const auto trail = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
            if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
                return "it holds a broken double-byte character";
            ++i;
            continue;
        }
        if (byte == '\\' || byte == '/') return "it holds a path separator (\\ or /)";
        if (byte == ':') return "it holds a colon, which names a drive or a stream";
        if (byte < 0x20 || byte == 0x7F) return "it holds a control character";
        if (std::strchr("*?\"<>|", byte))
            return "it holds a character Windows does not allow in names (* ? \" < > |)";
    }
    if (name.find_first_not_of(". ") == std::string::npos)
        return "it is only dots and blanks, which name no folder of its own";
    if (NamesDevice(name)) return "it is the name of a device";
    return nullptr;
}

// The uninstall key "Lumetra Studio NAME" needs no rule of its own: the temporary folder's path
// keeps every name well below the 240 bytes its 255 characters leave.
const char* RefusedProjectLength(std::size_t length, int volumes, const SetupFolders& folders) {
    if (!Fits(folders.base + length + 1 + std::strlen(RuntimeFileName)))
        return "the paths of the game folder's files would be too long";
    const std::size_t archive = length + ExtensionLength(volumes);
    if (!Fits(folders.disk + archive))
        return "the path of the archive on the disk would be too long";
    if (!Fits(folders.temp + std::strlen(SetupTempFolderName) + 1 + archive))
        return "the path of the archive in the temporary folder would be too long";
    return nullptr;
}

const char* RefusedTitleLength(std::size_t length, const SetupFolders& folders) {
    if (!Fits(folders.programs + std::strlen(SetupShortcutFolder) + length + 4))
        return "the shortcut's path would be too long";
    return nullptr;
}
