// Where the program's folders are, drive tests, message boxes with the application title,
// form placement, the joining of numbered volumes, and the loading of the archive library.
// Every routine that returns a folder returns it with a trailing backslash.
#pragma once
#include "PathRules.h"

#include <windows.h>

#include <cstdint>
#include <string>

class TForm;

std::string GetExeDir();
std::string GetWindowsDir();
std::string GetTempDir();
// From the registry's "ProgramFilesDir", read only; "\" when it cannot be read.
std::string GetProgramFilesDir();
// A shell folder by CSIDL number; raises the OLE error when the shell cannot give it.
std::string GetSpecialFolderDir(int csidl);
std::string GetProgramsDir();

// Moves the form so that it lies on the screen, its top left corner winning.
void FitFormToScreen(TForm* form);
// Centres the form over its owner form (an owner that is no form raises the invalid-cast
// error), then fits it to the screen.
void CenterFormOnOwner(TForm* form);

// Modal boxes captioned with the application title; without an owner the application's
// window owns them. They return the button pressed.
int ShowMessageBox(const std::string& text, uint16_t flags, HWND owner = nullptr);
int ShowErrorBox(const std::string& text, HWND owner = nullptr);
int ShowInfoBox(const std::string& text, HWND owner = nullptr);
int ShowQuestionBox(const std::string& text, HWND owner = nullptr);

bool IsAsciiLetter(unsigned char c);
// The drive part of a path ("C:", "\\server\share", or "") followed by "\".
std::string DriveRoot(const std::string& path);
// Whether the path's drive has a readable root folder; never shows the system's error box.
bool IsDriveReady(const std::string& path);
// Whether the path's drive is a removable drive that the shell calls a floppy drive.
bool IsFloppyDrive(const std::string& path);
// Whether a drive's display name marks it as a floppy drive: "FD" or "Floppy" found first at the
// second character or later (a name that opens with one of them counts only through the other).
bool NamesFloppyDrive(const std::string& displayName);
// The extension of volume number i: ".001", ".002" ... ".999", ".1000".
std::string VolumeExtension(int i);
// Joins archivePath's numbered volumes (.001, .002 ...) into destinationFolder + the archive's
// file name. Raises the file-stream error of a file that cannot be made, opened or read.
void JoinVolumes(const std::string& archivePath, const std::string& destinationFolder, int count);

// Loads UNLHA32.DLL from the running program's folder, or else from the system folders; never
// from the current folder or the PATH. Null when there is none.
HMODULE LoadUnlhaLibrary();
