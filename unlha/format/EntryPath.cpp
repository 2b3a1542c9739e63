// Splitting, checking and showing stored paths. Everything a path may do to leave the
// destination folder is refused here, before any file-system call sees it.
#include "EntryPath.h"

#include "Methods.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace lha {
namespace {

void split(std::string_view text, bool ffSeparates, std::vector<std::string>& parts,
           bool& endsWithSeparator) {
    std::string part;
    endsWithSeparator = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (isShiftJisLeadByte(byte) && i + 1 < text.size() &&
            isShiftJisTrailByte(static_cast<std::uint8_t>(text[i + 1]))) {
            part += text[i];
            part += text[++i];
            endsWithSeparator = false;
        } else if (byte == '\\' || byte == '/' || (ffSeparates && byte == 0xFF)) {
            parts.push_back(part);
            part.clear();
            endsWithSeparator = true;
        } else {
            part += text[i];
            endsWithSeparator = false;
        }
    }
    if (!part.empty()) parts.push_back(part);
}

// Index of `wanted` standing as a character of its own, not as a trail byte.
std::size_t findSingleByte(std::string_view text, char wanted) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isShiftJisLeadByte(static_cast<std::uint8_t>(text[i])) && i + 1 < text.size() &&
            isShiftJisTrailByte(static_cast<std::uint8_t>(text[i + 1]))) {
            ++i;
        } else if (text[i] == wanted) {
            return i;
        }
    }
    return std::string_view::npos;
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Windows opens a device for these names whatever extension follows and whatever blanks
// precede the extension.
bool isDeviceName(std::string_view part) {
    std::string_view base = part.substr(0, part.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    std::string name;
    for (const char c : base)
        name += upper(c);
    static constexpr std::array<std::string_view, 6> kFixed = {"CON", "PRN",    "AUX",
                                                               "NUL", "CONIN$", "CONOUT$"};
    if (std::find(kFixed.begin(), kFixed.end(), name) != kFixed.end()) return true;
    return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) &&
           name[3] >= '1' && name[3] <= '9';
}

const char* refusal(std::string_view part) {
    if (part == "..") return "parent folder (..) in path";
    if (part.find_first_not_of(". ") == std::string_view::npos) return "name of dots and blanks";
    for (const char c : part) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte == ':') return "drive letter or stream name in path";
        if (byte < 0x20 || byte == 0x7F) return "control character in name";
    }
    if (isDeviceName(part)) return "device name";
    return nullptr;
}

} // namespace

bool isShiftJisLeadByte(std::uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isShiftJisTrailByte(std::uint8_t byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

Status splitEntryPath(const Entry& entry, EntryPath& path, const char*& why) {
    path = EntryPath{};
    why = nullptr;
    // A leading 0xFF in the folder is a quirk of some writers, not a root.
    const std::string& first = entry.directory.empty() ? entry.name : entry.directory;
    const auto separatorAt = [&first](std::size_t at) {
        return first.size() > at && (first[at] == '\\' || first[at] == '/');
    };
    if (separatorAt(0) && separatorAt(1)) {
        why = "network path";
        return Status::RefusedPath;
    }
    path.rooted = separatorAt(0);
    std::vector<std::string> parts;
    bool folderEndsWithSeparator = false;
    split(entry.directory, true, parts, folderEndsWithSeparator);
    bool nameEndsWithSeparator = false;
    split(entry.name, false, parts, nameEndsWithSeparator);
    path.isFolder = entry.name.empty() ? !entry.directory.empty() : nameEndsWithSeparator;

    for (std::string& part : parts) {
        if (part.empty() || part == ".") continue;
        if ((why = refusal(part)) != nullptr) return Status::RefusedPath;
        path.parts.push_back(std::move(part));
    }
    return Status::Ok;
}

bool isSymbolicLink(const Entry& entry) {
    constexpr int kTypeMask = 0170000;
    constexpr int kLink = 0120000;
    if (entry.unixMode >= 0 && (entry.unixMode & kTypeMask) == kLink) return true;
    return entry.method == kDirectoryMethod && findSingleByte(entry.name, '|') != std::string::npos;
}

std::string printablePath(const Entry& entry) {
    std::string stored = entry.directory;
    std::replace(stored.begin(), stored.end(), '\xFF', '/');
    if (!stored.empty() && stored.back() != '/' && !entry.name.empty()) stored += '/';
    stored += entry.name;
    std::string text;
    for (const char c : stored) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte < 0x20 || byte == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        } else {
            text += c;
        }
    }
    return text;
}

} // namespace lha
