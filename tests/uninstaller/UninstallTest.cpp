// The removal steps of a confirmed uninstall, run in-process against folders of the test bed.
#include "Uninstall.h"

#include "Files.h"

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
        {"A\\..\\C.lnk", {"C.lnk", "A\\"}, {"A\\", "C.lnk"}},
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

} // namespace
