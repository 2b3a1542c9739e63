// Drive mapping and links through the host: a Windows process cannot make the prefix's
// symbolic links, so a small shell command does it and leaves a marker that the test waits for.
#include "Drives.h"

#include "Files.h"
#include "Wait.h"

#include <windows.h>

#include <cstdlib>
#include <set>
#include <stdexcept>

namespace testbed {

namespace {

std::set<char> lettersInUse;

const char* WineTypeName(DriveKind kind) {
    switch (kind) {
    case DriveKind::Fixed: return "hd";
    case DriveKind::CdRom: return "cdrom";
    case DriveKind::Floppy: return "floppy";
    case DriveKind::Network: return "network";
    }
    return "";
}

// The letters the prefix declares with this type, in the registry the drive manager reads.
char FreeLetter(DriveKind kind) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine\\Drives", 0, KEY_READ | KEY_WOW64_64KEY,
                      &key) != 0)
        throw std::runtime_error("the prefix declares no drive types");
    char found = 0;
    for (char letter = 'a'; letter <= 'z' && !found; ++letter) {
        const std::string name = std::string(1, letter) + ":";
        char type[32] = "";
        DWORD size = sizeof type;
        if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(type),
                             &size) == 0 &&
            std::string(type) == WineTypeName(kind) && !lettersInUse.count(letter))
            found = letter;
    }
    RegCloseKey(key);
    if (!found)
        throw std::runtime_error(std::string("no free drive of type ") + WineTypeName(kind));
    return found;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Prefix() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix) throw std::runtime_error("WINEPREFIX is not set: run under scripts/wine-session");
    return prefix;
}

std::string DosDevices() {
    return Prefix() + "/dosdevices/";
}

// Runs a host shell command and waits until it has finished: the command removes a marker file
// as its last act.
void RunOnHost(const std::string& command) {
    const std::string marker = TestRoot() + "host-command.pending";
    WriteFile(marker, "");
    const std::string script = command + " && rm -f " + ShellQuote(UnixPath(marker)) + "\n";
    const std::string scriptPath = TestRoot() + "host-command.sh";
    WriteFile(scriptPath, script);
    std::string commandLine = "\\\\?\\unix\\bin\\sh " + UnixPath(scriptPath);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        throw std::runtime_error("cannot start the host shell");
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    if (!WaitFor([&] { return !FileExists(marker); }))
        throw std::runtime_error("host command did not finish: " + command);
}

// Points the letter's link at a host path.
void PointLink(char letter, const std::string& target) {
    const std::string link = DosDevices() + letter + ":";
    RunOnHost("ln -sfn " + ShellQuote(target) + " " + ShellQuote(link + ".new") + " && mv -Tf " +
              ShellQuote(link + ".new") + " " + ShellQuote(link));
}

} // namespace

DriveMapping::DriveMapping(DriveKind kind, const std::string& folder) : letter_(FreeLetter(kind)) {
    lettersInUse.insert(letter_);
    Repoint(folder);
}

// The letter goes back to the missing medium that every session starts with.
DriveMapping::~DriveMapping() {
    try {
        PointLink(letter_, Prefix() + "/../no-medium");
    } catch (const std::exception&) {
    }
    lettersInUse.erase(letter_);
}

void DriveMapping::Repoint(const std::string& folder) {
    PointLink(letter_, UnixPath(folder));
}

namespace {

std::string LinkPath(const std::string& link) {
    std::string linkPath = UnixPath(link);
    while (linkPath.size() > 1 && linkPath.back() == '/')
        linkPath.pop_back();
    return linkPath;
}

} // namespace

void MakeFolderLink(const std::string& link, const std::string& target) {
    RunOnHost("ln -s " + ShellQuote(UnixPath(target)) + " " + ShellQuote(LinkPath(link)));
}

void MakeFileLink(const std::string& link, const std::string& target, FileLinkKind kind) {
    RunOnHost(std::string(kind == FileLinkKind::Symbolic ? "ln -s " : "ln ") +
              ShellQuote(UnixPath(target)) + " " + ShellQuote(LinkPath(link)));
}

void RemoveFolderLink(const std::string& link) {
    RunOnHost("rm -f " + ShellQuote(LinkPath(link)));
}

} // namespace testbed
