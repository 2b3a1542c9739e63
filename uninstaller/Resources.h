// Resource identifiers shared by the uninstaller's resource script and its code.
#pragma once

#define IDS_QUESTION 1 // the question "Uninstall %s?" in Japanese, %s the game's title
#define IDS_CAPTION 2  // the question's caption, "Uninstall confirmation" in Japanese
