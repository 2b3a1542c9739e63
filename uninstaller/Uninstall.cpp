// The uninstaller's run: read the install data and judge what it names, ask once, and on Yes
// remove what was judged removable.
#include "Uninstall.h"

#include "CommandLine.h"
#include "InstallData.h"
#include "PathRules.h"
#include "RegistryKey.h"
#include "Resources.h"
#include "ShellFolders.h"
#include "ShellPaths.h"

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

constexpr char kRuntimeName[] = "LUM_RT.exe";

// Whether the uninstall key's command names the install-data file at installDataPath, as the
// installer registers it: the uninstaller, then that file's path.
bool KeyNamesInstallData(const std::string& keyName, const std::string& installDataPath) {
    const RegistryKey key(HKEY_LOCAL_MACHINE, keyName, KEY_READ);
    const std::vector<std::string> arguments = SplitCommandLine(key.ReadString("UninstallString"));
    return arguments.size() >= 2 && IsSamePath(arguments[1], installDataPath);
}

// Whether the shortcut at path, reached without a link from programsFolder, starts the game in
// gameFolder.
bool ShortcutStartsGame(const std::string& path, const std::string& programsFolder,
                        const std::string& gameFolder) {
    if (LeadsThroughLink(path, programsFolder)) return false;
    const std::string target = ShortcutTarget(path);
    return !target.empty() && IsSamePath(target, gameFolder + kRuntimeName);
}

void RemoveShortcut(const std::string& programsFolder, const std::string& shortcutName) {
    std::string path = programsFolder + shortcutName;
    // Judged again: since the plan, the user may have put a link where the shortcut was.
    if (LeadsThroughLink(path, programsFolder)) return;
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

Uninstallation PlanUninstall(const std::string& installDataPath,
                             const ProtectedFolders& protectedFolders,
                             const std::string& programsFolder) {
    Uninstallation plan;
    // The folder is judged before the file is read, so a refused path is not even opened.
    const std::string gameFolder = GameFolderOf(installDataPath, protectedFolders);
    if (gameFolder.empty()) return plan;
    const InstallData data = ReadInstallData(installDataPath);
    plan.title = data.title;
    plan.removal.gameFolder = gameFolder;
    plan.removal.programsFolder = programsFolder;
    if (IsUninstallKeyName(data.uninstallKeyName) &&
        KeyNamesInstallData(data.uninstallKeyName, installDataPath))
        plan.removal.uninstallKeyName = data.uninstallKeyName;
    if (!programsFolder.empty() && IsShortcutName(data.shortcutName) &&
        ShortcutStartsGame(programsFolder + data.shortcutName, programsFolder, gameFolder))
        plan.removal.shortcutName = data.shortcutName;
    return plan;
}

void RemoveGame(const Removal& removal, const FolderLister& lister) {
    RemoveFolderTree(removal.gameFolder, FileAttributes::Keep, "", lister);
    if (!removal.shortcutName.empty()) RemoveShortcut(removal.programsFolder, removal.shortcutName);
    if (!removal.uninstallKeyName.empty())
        DeleteKeyTree(HKEY_LOCAL_MACHINE, removal.uninstallKeyName);
}

void RunUninstaller(HINSTANCE instance, const std::string& commandLine) {
    const std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.size() < 2) return;
    const Uninstallation plan = PlanUninstall(arguments[1], SystemFolders(), GetProgramsFolder());
    if (plan.title.empty() || !Confirmed(instance, plan.title)) return;
    RemoveGame(plan.removal);
}
