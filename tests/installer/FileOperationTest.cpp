// The shell file operation: the shell's list form, its flag word, and a real copy.
#include "FileOperation.h"
#include "Files.h"
#include "Forms.h"

#include <gtest/gtest.h>

using namespace testbed;

namespace {

TEST(FileOperation, PathListsEndWithTwoNuls) {
    EXPECT_EQ(BuildPathList({"A:\\GAME.001", "A:\\GAME.002"}),
              std::string("A:\\GAME.001\0A:\\GAME.002\0\0", 25));
    EXPECT_EQ(BuildPathList({}), std::string("\0", 1));
}

TEST(FileOperation, OptionsMapToTheShellFlags) {
    EXPECT_EQ(ShellFlags(0), 0);
    EXPECT_EQ(ShellFlags(OptionSet(foNoConfirmation)), 0x0010);
    EXPECT_EQ(ShellFlags(0xFF), 0x06DD);
    EXPECT_EQ(ShellFlags(OptionSet(foMultiDestFiles) | OptionSet(foNoErrorUI)), 0x0401);
}

TEST(FileOperation, CopiesAFileIntoAFolderReplacingWithoutAsking) {
    TApplication application;
    auto* form = application.CreateForm<TForm>();
    auto* operation = new TFileOperation(form);
    const std::string from = FreshFolder("fileop-from"), to = FreshFolder("fileop-to");
    WriteFile(from + "My Game.001", "volume one");
    WriteFile(to + "My Game.001", "an older copy");
    operation->Options = OptionSet(foNoConfirmation);
    operation->SetFrom(from + "My Game.001");
    operation->SetTo(to.substr(0, to.size() - 1));
    EXPECT_TRUE(operation->Copy());
    EXPECT_EQ(ReadFile(to + "My Game.001"), "volume one");
    EXPECT_EQ(operation->FromList.size(), 1u);
}

} // namespace
