// The uninstaller's run: read the install data, ask once, and on Yes remove the game.
#include "Uninstall.h"

#include "CommandLine.h"
#include "FolderGuard.h"
#include "InstallData.h"
#include "PathRules.h"
#include "RegistryKey.h"
#include "Resources.h"
#include "ShellFolders.h"

#include <vector>

namespace {

std::string LoadText(HINSTANCE instance, UINT id) {
    char text[256] = "";
    LoadStringA(instance, id, text, sizeof text);
    return text;
}

// The title takes the place of "%s" as it is: a title of up to 2047 bytes would be cut by
// wsprintfA (1024 bytes at most), and a "%" in it must stay a "%". The search is byte-wise,
// which is safe because "%" is never the second byte of a double-byte character.
std::string Question(const std::string& format, const std::string& title) {
    std::string text = format;
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, title);
    return text;
}

bool Confirmed(HINSTANCE instance, const std::string& title) {
    const std::string text = Question(LoadText(instance, IDS_QUESTION), title);
    const std::string caption = LoadText(instance, IDS_CAPTION);
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void RemoveShortcut(const std::string& programsFolder, const std::string& shortcutName) {
    if (programsFolder.empty() || !IsShortcutName(shortcutName)) return;
    std::string path = programsFolder + shortcutName;
    DeleteFileA(path.c_str());
    // The shortcut's folder, then the one above it, each only when empty and only while it
    // lies below the Programs folder.
    for (int level = 0; level < 2; ++level) {
        path = ExtractFileDir(path);
        const std::string folder = AddBackslash(path);
        if (folder.size() > programsFolder.size() && IsSameOrAbove(programsFolder, folder))
            RemoveDirectoryA(path.c_str());
    }
}

} // namespace

void RemoveGame(const Removal& removal, const FolderLister& lister) {
    RemoveFolderTree(removal.gameFolder, FileAttributes::Keep, "", lister);
    RemoveShortcut(removal.programsFolder, removal.shortcutName);
    if (IsUninstallKeyName(removal.uninstallKeyName))
        DeleteKeyTree(HKEY_LOCAL_MACHINE, removal.uninstallKeyName);
}

void RunUninstaller(HINSTANCE instance, const std::string& commandLine) {
    const std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.size() < 2) return;
    const std::string& installDataPath = arguments[1];
    // The folder is judged before the file is read, so a refused path is not even opened.
    const std::string gameFolder = GameFolderOf(installDataPath, SystemFolders());
    if (gameFolder.empty()) return;
    const InstallData data = ReadInstallData(installDataPath);
    if (data.title.empty() || !Confirmed(instance, data.title)) return;
    RemoveGame({gameFolder, GetProgramsFolder(), data.shortcutName, data.uninstallKeyName});
}
