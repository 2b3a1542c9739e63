// The shell file operation: the shell's list form, its flag word, and a real copy.
#include "FileOperation.h"
#include "Errors.h"
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

// A folder below the test root whose path, with "\short.001" after it, is `shorter` bytes
// short of MAX_PATH.
std::string LongFolder(size_t shorter) {
    return TestRoot() + std::string(MAX_PATH - shorter - TestRoot().size() - 10, 't');
}

TEST(FileOperation, NoPathOfMaxPathOrMoreReachesTheShell) {
    // The shell copies each path into a MAX_PATH buffer on its stack; it is never handed one
    // that would not fit, given or formed as the copy's target in the destination folder.
    TApplication application;
    auto* operation = new TFileOperation(application.CreateForm<TForm>());
    const std::string folder = FreshFolder("fileop-long");
    WriteFile(folder + "short.001", "x");
    const struct {
        const char* what;
        std::string from;
        std::string to;
    } cases[] = {
        {"source of 1,000", folder + std::string(1000, 'p') + ".lzh", folder + "to"},
        {"source of MAX_PATH", folder + std::string(MAX_PATH - folder.size(), 'p'), folder + "to"},
        {"destination of 1,000", folder + "short.001", folder + std::string(1000, 't')},
        {"target formed in the destination", folder + "short.001", LongFolder(0)},
    };
    for (const auto& c : cases) {
        operation->Options = OptionSet(foNoConfirmation);
        operation->SetFrom(c.from);
        operation->SetTo(c.to);
        try {
            operation->Copy();
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message().find("The path "), 0u) << c.what << ": " << error.what();
        }
    }
    // One byte shorter, the target fits: the shell is asked and copies.
    const std::string to = LongFolder(1);
    MakeFolders(to);
    operation->SetFrom(folder + "short.001");
    operation->SetTo(to);
    EXPECT_TRUE(operation->Copy());
    EXPECT_EQ(ReadFile(to + "\\short.001"), "x");
    RemoveTree(to + "\\");
}

} // namespace
