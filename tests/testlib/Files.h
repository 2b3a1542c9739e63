// Files and folders of a test, all below C:\lumtest\ in the test prefix.
#pragma once
#include <string>
#include <vector>

namespace testbed {

// C:\lumtest\ (created on first use).
std::string TestRoot();
// An empty folder C:\lumtest\<name>\ (emptied when it exists), with its trailing backslash.
std::string FreshFolder(const std::string& name);
// Removes a folder and everything in it, read-only files included; missing is fine. A link
// (reparse point) is removed as a link, never emptied through.
void RemoveTree(const std::string& folder);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
void MakeFolders(const std::string& folder);
// A shell link at linkPath (its folders made) whose target is target, as the installer makes
// the game's shortcut; throws when the shell cannot write it.
void MakeShortcut(const std::string& linkPath, const std::string& target);
// Every file and folder below folder as relative paths (folders end with "\"), sorted.
std::vector<std::string> ListTree(const std::string& folder);
// Setup's temporary folder, <temp>LUM_TEMP\, which its runs leave behind.
std::string SetupTempFolder();
// The host path of a Windows path, for the few things only the host can do.
std::string UnixPath(const std::string& windowsPath);
// The folder of the running test program, with its trailing backslash.
std::string ExeFolder();
// A built program beside the test programs (build/win32/bin).
std::string BuiltProgram(const std::string& name);

} // namespace testbed
