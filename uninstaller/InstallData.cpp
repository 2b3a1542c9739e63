// The install-data file that the installer leaves in the game folder, and which of its names
// the uninstaller trusts.
#include "InstallData.h"

#include "PathRules.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace {

constexpr char kSection[] = "Install Data";
constexpr char kUninstallBranch[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string ReadValue(const std::string& path, const char* key) {
    char value[2048] = "";
    GetPrivateProfileStringA(kSection, key, "", value, sizeof value, path.c_str());
    return value;
}

// ASCII letters only: the branch is ASCII, and the registry folds their case.
bool SameIgnoringCase(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

} // namespace

InstallData ReadInstallData(const std::string& path) {
    InstallData data;
    data.title = ReadValue(path, "Title");
    data.uninstallKeyName = ReadValue(path, "UninstallKeyName");
    data.shortcutName = ReadValue(path, "ShortcutName");
    return data;
}

bool IsUninstallKeyName(const std::string& name) {
    const std::string branch = kUninstallBranch;
    if (name.size() <= branch.size() ||
        !std::equal(branch.begin(), branch.end(), name.begin(), SameIgnoringCase))
        return false;
    // The branch ends at a character boundary, so the rest is scanned from a character's start.
    return LastDelimiter(name.substr(branch.size()), "\\") == std::string::npos;
}

bool IsShortcutName(const std::string& name) {
    if (name.empty() || LastDelimiter(name, ":") != std::string::npos) return false;
    // Windows takes "/" for "\" as well. Parts are checked from the last to the first.
    std::string rest = name;
    for (;;) {
        const size_t at = LastDelimiter(rest, "\\/");
        const std::string part = rest.substr(at == std::string::npos ? 0 : at + 1);
        if (part.find_first_not_of('.') == std::string::npos) return false;
        if (at == std::string::npos) return true;
        rest.resize(at);
    }
}
