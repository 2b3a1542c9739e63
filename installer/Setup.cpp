// Program entry of Setup: reads the setup description and runs the installer when it names a
// project and a title; otherwise ends at once without a window. The exit code is always 0.
#include "FirstDialog.h"
#include "IniFiles.h"
#include "SetupMain.h"
#include "SystemLibrary.h"

#include <windows.h>

// Before every other static initializer, one of which maps UNLHA32.DLL.
[[gnu::constructor(101)]] static void RestrictDllSearchFirst() {
    RestrictDllSearch();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        std::string projectName, gameTitle;
        {
            const TIniFile description(SetupDescriptionPath());
            projectName = description.ReadString("Setup", "ProjectName", "");
            gameTitle = description.ReadString("Setup", "GameTitle", "");
        }
        if (projectName.empty() || gameTitle.empty()) return 0;

        TApplication application;
        application.Initialize();
        application.SetTitle("Setup       ");
        FormBackground = application.CreateForm<TFormBackground>();
        FormFirstDialog = application.CreateForm<TFormFirstDialog>();
        application.Run();
    } catch (const std::exception&) {
        // Nothing is left to show an error with once the application is gone.
    }
    return 0;
}
