// The DLL search kept to the system folder, and entries of the system's libraries.
#include "SystemLibrary.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

TEST(SystemLibrary, NoLibraryIsFoundBesideTheProgramOnceTheSearchIsRestricted) {
    // bogus_unlha.dll lies beside this program, where the search by name looks first.
    HMODULE beside = LoadLibraryA("bogus_unlha.dll");
    ASSERT_NE(beside, nullptr) << "the library beside the program is missing";
    FreeLibrary(beside);
    RestrictDllSearch();
    beside = LoadLibraryA("bogus_unlha.dll");
    EXPECT_EQ(beside, nullptr);
    if (beside) FreeLibrary(beside);

    EXPECT_NE(SystemProc("comctl32.dll", "InitCommonControlsEx"), nullptr);
    EXPECT_NE(SystemProc("comctl32.dll", "ImageList_Destroy"), nullptr);
    EXPECT_EQ(SystemProc("comctl32.dll", "NoSuchEntry"), nullptr);
    EXPECT_EQ(SystemProc("bogus_unlha.dll", "Unlha"), nullptr);
    EXPECT_TRUE(InitCommonControlsFromSystem(ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS));
}

} // namespace
