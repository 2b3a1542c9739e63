// What a confirmed uninstall may remove and its removal steps, run in-process against folders,
// shortcuts and keys of the test bed.
#include "Uninstall.h"

#include "Drives.h"
#include "Files.h"
#include "RegistryProbe.h"

#include <gtest/gtest.h>

namespace {

using Tree = std::vector<std::string>;

// Lists the real entries but shows the folder "link" as a junction. Wine cannot make junctions,
// so a real folder stands in for what a junction shows of its target.
class JunctionLister : public FolderLister {
public:
    void List(const std::string& pattern,
              const std::function<void(const FolderEntry&)>& visit) const override {
        listed.push_back(pattern);
        FolderLister::List(pattern, [&](const FolderEntry& entry) {
            FolderEntry shown = entry;
            if (entry.name == "link") shown.attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
            visit(shown);
        });
    }
    mutable std::vector<std::string> listed;
};

TEST(RemoveGame, NeverWalksIntoAJunctionInTheGameFolder) {
    const std::string game = testbed::FreshFolder("uninst-junction");
    for (const char* file : {"LUM_RT.ind", "a.txt", "sub\\b.txt", "link\\target.txt"})
        testbed::WriteFile(game + file, "x");
    JunctionLister lister;
    RemoveGame({game, "", "", ""}, lister);
    EXPECT_EQ(testbed::ListTree(game), (Tree{"link\\", "link\\target.txt"}));
    for (const std::string& pattern : lister.listed)
        EXPECT_EQ(pattern.find(game + "link\\"), std::string::npos) << "walked into " << pattern;
}

TEST(RemoveGame, RemovesTheShortcutAndItsEmptyFoldersOnlyBelowThePrograms) {
    const struct {
        std::string shortcutName;
        Tree before;
        Tree after;
    } cases[] = {
        {"A\\B\\C.lnk", {"A\\B\\C.lnk"}, {}},
        {"A\\B\\C.lnk", {"A\\B\\C.lnk", "A\\B\\other.lnk"}, {"A\\", "A\\B\\", "A\\B\\other.lnk"}},
        {"A\\B\\C.lnk", {"A\\B\\C.lnk", "A\\other.lnk"}, {"A\\", "A\\other.lnk"}},
        {"A\\B\\C\\D.lnk", {"A\\B\\C\\D.lnk"}, {"A\\"}},
        {"A\\C.lnk", {"A\\C.lnk"}, {}},
        {"C.lnk", {"C.lnk"}, {}},
        {"A\\B\\missing.lnk", {"A\\B\\C.lnk"}, {"A\\", "A\\B\\", "A\\B\\C.lnk"}},
        {"", {"A\\"}, {"A\\"}},
    };
    for (const auto& [shortcutName, before, after] : cases) {
        const std::string programs = testbed::FreshFolder("uninst-programs");
        for (const std::string& entry : before)
            if (entry.back() == '\\')
                testbed::MakeFolders(programs + entry);
            else
                testbed::WriteFile(programs + entry, "lnk");
        const std::string game = testbed::FreshFolder("uninst-game");
        RemoveGame({game, programs, shortcutName, ""});
        EXPECT_TRUE(testbed::FolderExists(programs)) << "shortcut: " << shortcutName;
        EXPECT_EQ(testbed::ListTree(programs), after) << "shortcut: " << shortcutName;
        EXPECT_FALSE(testbed::FolderExists(game)) << "shortcut: " << shortcutName;
    }
}

// Links met by the removal steps: one inside the game folder, and the shortcut or its folder
// made a link after the plan judged them. What they lead to stays as it was.
TEST(RemoveGame, LeavesWhatALinkLeadsTo) {
    const std::string shortcutName = "Lumetra Studio\\G\\The Game.lnk";
    const struct {
        std::string link;   // below the test's folder
        std::string target; // below the victim folder; a folder ends with a backslash
    } cases[] = {
        {"game\\save.dat", "keep.txt"},
        {"game\\save", "empty\\"},
        {"programs\\" + shortcutName, "keep.txt"},
        {"programs\\Lumetra Studio\\G", ""},
    };
    for (const auto& [link, target] : cases) {
        const std::string root = testbed::FreshFolder("uninst-links");
        const std::string game = root + "game\\", programs = root + "programs\\";
        const std::string victim = root + "victim\\";
        testbed::WriteFile(game + "LUM_RT.ind", "[Install Data]\r\nTitle=T\r\n");
        testbed::WriteFile(victim + "keep.txt", "must survive");
        testbed::WriteFile(victim + "The Game.lnk", "must survive");
        testbed::MakeFolders(victim + "empty");
        testbed::MakeFolders(root + link.substr(0, link.rfind('\\')));
        if (target.empty() || target.back() == '\\')
            testbed::MakeFolderLink(root + link, victim + target);
        else
            testbed::MakeFileLink(root + link, victim + target, testbed::FileLinkKind::Symbolic);
        RemoveGame({game, programs, shortcutName, ""});
        testbed::RemoveFolderLink(root + link);
        EXPECT_EQ(testbed::ListTree(victim), (Tree{"The Game.lnk", "empty\\", "keep.txt"})) << link;
        if (testbed::FileExists(victim + "keep.txt")) {
            EXPECT_EQ(testbed::ReadFile(victim + "keep.txt"), "must survive") << link;
        }
        testbed::RemoveTree(root);
    }
}

// The key and the shortcut that the install data names are kept for removal only when they are
// this installation's own.
TEST(PlanUninstall, KeepsOnlyTheKeyAndShortcutOfThisInstallation) {
    const std::string branch = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    const std::string ownKey = branch + "Lumetra Studio uninst-plan";
    const std::string shortcut = "Lumetra Studio\\G\\The Game.lnk";
    const std::string other = testbed::FreshFolder("uninst-plan-other");
    const struct {
        std::string label;
        std::string keyName;         // as the install data names it
        std::string uninstallString; // "%s": the install data's path; "": no value
        std::string shortcutName;    // as the install data names it
        std::string linkTarget;      // "%s": the game folder; "": a file that is no shell link
        bool keyKept;
        bool shortcutKept;
    } cases[] = {
        {"as installed", ownKey, "C:\\windows\\zevizorezu.exe \"%sLUM_RT.ind\"", shortcut,
         "%sLUM_RT.exe", true, true},
        {"another spelling", ownKey, "\"C:\\windows\\zevizorezu.exe\" \"%s.\\lum_rt.IND\"",
         shortcut, "%s.\\lum_rt.EXE", true, true},
        {"another program's key", branch + "LumTest VictimApp",
         "\"C:\\Program Files\\Victim\\uninst.exe\" /remove", shortcut, "%sLUM_RT.exe", false,
         true},
        {"another file named", ownKey, "C:\\windows\\zevizorezu.exe \"%sother.ind\"", shortcut,
         "%sLUM_RT.exe", false, true},
        {"the file as the program", ownKey, "\"%sLUM_RT.ind\"", shortcut, "%sLUM_RT.exe", false,
         true},
        {"no uninstall string", ownKey, "", shortcut, "%sLUM_RT.exe", false, true},
        {"key outside the branch", "Software\\LumTest\\Plan",
         "C:\\windows\\zevizorezu.exe \"%sLUM_RT.ind\"", shortcut, "%sLUM_RT.exe", false, true},
        {"another program's shortcut", ownKey, "C:\\windows\\zevizorezu.exe \"%sLUM_RT.ind\"",
         "Other\\Sub\\other.lnk", other + "other.exe", true, false},
        {"another game's runtime", ownKey, "C:\\windows\\zevizorezu.exe \"%sLUM_RT.ind\"", shortcut,
         other + "LUM_RT.exe", true, false},
        {"no shell link", ownKey, "C:\\windows\\zevizorezu.exe \"%sLUM_RT.ind\"", shortcut, "",
         true, false},
        {"shortcut name leaving its folder", ownKey, "C:\\windows\\zevizorezu.exe \"%sLUM_RT.ind\"",
         "A\\..\\C.lnk", "%sLUM_RT.exe", true, false},
    };
    const auto fill = [](std::string text, const std::string& folder) {
        const size_t at = text.find("%s");
        return at == std::string::npos ? text : text.replace(at, 2, folder);
    };
    for (const auto& c : cases) {
        const std::string game = testbed::FreshFolder("uninst-plan");
        const std::string programs = testbed::FreshFolder("uninst-plan-programs");
        testbed::WriteFile(game + "LUM_RT.exe", "exe");
        testbed::WriteFile(game + "LUM_RT.ind",
                           "[Install Data]\r\nTitle=T\r\nUninstallKeyName=" + c.keyName +
                               "\r\nShortcutName=" + c.shortcutName + "\r\n");
        testbed::RegDeleteTree(HKEY_LOCAL_MACHINE, c.keyName);
        testbed::RegSetString(HKEY_LOCAL_MACHINE, c.keyName, "DisplayName", "T");
        if (!c.uninstallString.empty())
            testbed::RegSetString(HKEY_LOCAL_MACHINE, c.keyName, "UninstallString",
                                  fill(c.uninstallString, game));
        if (c.linkTarget.empty())
            testbed::WriteFile(programs + c.shortcutName, "lnk");
        else
            testbed::MakeShortcut(programs + c.shortcutName, fill(c.linkTarget, game));

        const Uninstallation plan = PlanUninstall(game + "LUM_RT.ind", {}, programs);
        EXPECT_EQ(plan.title, "T") << c.label;
        EXPECT_EQ(plan.removal.gameFolder, game) << c.label;
        EXPECT_EQ(plan.removal.uninstallKeyName, c.keyKept ? c.keyName : "") << c.label;
        EXPECT_EQ(plan.removal.shortcutName, c.shortcutKept ? c.shortcutName : "") << c.label;
        testbed::RegDeleteTree(HKEY_LOCAL_MACHINE, c.keyName);
    }
    testbed::RegDeleteTree(HKEY_LOCAL_MACHINE, "Software\\LumTest");
    testbed::RemoveTree(other);
}

} // namespace
