// The background form's size and gradient, and the temporary-folder removal.
#include "SetupMain.h"
#include "Drives.h"
#include "Files.h"
#include "Gui.h"
#include "PathRules.h"

#include <gtest/gtest.h>

using namespace testbed;

namespace {

COLORREF Band(int i) {
    return RGB(4 * i, 4 * i, 128 + 2 * i);
}

class Background : public ::testing::Test {
protected:
    TApplication application;
    TFormBackground* form = application.CreateForm<TFormBackground>();

    Bitmap Render(int width, int height) {
        form->SetBounds(0, 0, width, height);
        Bitmap bitmap(width, height);
        form->OpaquePaintBox1->PaintTo(bitmap.Dc());
        return bitmap;
    }
};

TEST_F(Background, CoversTheWholeScreen) {
    EXPECT_EQ(form->Left(), 0);
    EXPECT_EQ(form->Top(), 0);
    EXPECT_EQ(form->Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(form->Height(), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(form->OpaquePaintBox1->Align(), TAlign::alClient);
}

// Every row shows a band colour, and the bands run from top to bottom in order.
void ExpectOrderedBands(const Bitmap& bitmap) {
    int last = -1;
    for (int y = 0; y < bitmap.Height(); ++y) {
        int band = -1;
        for (int i = 0; i < 64; ++i)
            if (bitmap.Pixel(bitmap.Width() / 2, y) == Band(i)) band = i;
        ASSERT_GE(band, last) << "row " << y << " of " << bitmap.Height();
        last = band;
    }
    EXPECT_EQ(last, 63);
}

TEST_F(Background, SixtyFourBandsOnEachLine) {
    const int height = 768;
    const Bitmap bitmap = Render(1024, height);
    for (int i = 0; i < 64; ++i) {
        const int y = std::min(height * i / 63, height - 1);
        for (int x : {0, 512, 1023})
            EXPECT_EQ(bitmap.Pixel(x, y), Band(i)) << "band " << i << " at " << x << "," << y;
    }
    ExpectOrderedBands(bitmap);
}

TEST_F(Background, LowFormsStillGetTheirBandsInOrder) {
    ExpectOrderedBands(Render(100, 50));
    ExpectOrderedBands(Render(100, 8));
}

// Reports an extra entry that the file system of the test bed cannot make: a junction.
class JunctionLister : public FolderLister {
public:
    explicit JunctionLister(std::string junctionName) : junction_(std::move(junctionName)) {}
    void List(const std::string& pattern,
              const std::function<void(const FolderEntry&)>& visit) const override {
        FolderLister::List(pattern, [&](const FolderEntry& entry) {
            FolderEntry reported = entry;
            if (entry.name == junction_) reported.attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
            visit(reported);
        });
    }

private:
    std::string junction_;
};

TEST(DeleteFolderTree, RemovesReadOnlyHiddenAndSystemFilesAndNestedFolders) {
    const std::string folder = FreshFolder("dft-all");
    for (const auto& [name, attributes] :
         {std::pair<std::string, DWORD>{"ro.txt", FILE_ATTRIBUTE_READONLY},
          {"hidden.txt", FILE_ATTRIBUTE_HIDDEN},
          {"system.txt", FILE_ATTRIBUTE_SYSTEM},
          {"sub\\nested\\deep.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN}}) {
        WriteFile(folder + name, name);
        SetFileAttributesA((folder + name).c_str(), attributes);
    }
    DeleteFolderTree(folder); // with its trailing backslash
    EXPECT_FALSE(FolderExists(folder));
}

TEST(DeleteFolderTree, DotFoldersStayWithTheirContentsAndParents) {
    const std::string folder = FreshFolder("dft-dot");
    WriteFile(folder + "a\\.cache\\kept.txt", "kept");
    WriteFile(folder + "a\\gone.txt", "gone");
    WriteFile(folder + ".hidden-file", "files starting with a dot go");
    DeleteFolderTree(folder.substr(0, folder.size() - 1));
    EXPECT_EQ(ListTree(folder),
              (std::vector<std::string>{"a\\", "a\\.cache\\", "a\\.cache\\kept.txt"}));
}

TEST(DeleteFolderTree, LeavesTheParentAndIgnoresAMissingFolder) {
    const std::string temp = FreshFolder("dft-temp");
    WriteFile(temp + "LUM_TEMP\\GameDisk\\Project1.lzh", "x");
    DeleteFolderTree(temp + "LUM_TEMP\\GameDisk");
    EXPECT_TRUE(FolderExists(temp + "LUM_TEMP"));
    EXPECT_FALSE(FolderExists(temp + "LUM_TEMP\\GameDisk"));
    DeleteFolderTree(temp + "missing"); // nothing to do, nothing raised
}

TEST(DeleteFolderTree, NeverWalksIntoAJunction) {
    const std::string folder = FreshFolder("dft-junction");
    WriteFile(folder + "link\\target-file.txt", "must survive");
    WriteFile(folder + "other.txt", "goes");
    DeleteFolderTree(folder, JunctionLister("link"));
    EXPECT_EQ(ReadFile(folder + "link\\target-file.txt"), "must survive");
    EXPECT_FALSE(FileExists(folder + "other.txt"));
}

TEST(DeleteFolderTree, NeverEmptiesTheTargetOfALinkGivenOrAbove) {
    // A link the user made in the temporary folder, at the folder given or above it, or at a file
    // inside it; the target is read-only, which must not be cleared either.
    const struct {
        std::string link; // below the fake temporary folder
        bool toFolder;    // a link to the victim folder, else to the read-only file in it
    } cases[] = {
        {"LUM_TEMP\\GameDisk", true},
        {"LUM_TEMP", true},
        {"LUM_TEMP\\GameDisk\\Project1.lzh", false},
    };
    for (const auto& [link, toFolder] : cases) {
        const std::string root = FreshFolder("dft-link");
        const std::string victim = root + "victim\\";
        for (const char* file : {"keep.txt", "GameDisk\\keep.txt", "sub\\keep.txt"})
            WriteFile(victim + file, "must survive");
        SetFileAttributesA((victim + "keep.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        MakeFolders(ExtractFileDir(root + "temp\\" + link));
        if (toFolder) {
            MakeFolderLink(root + "temp\\" + link, victim);
            ASSERT_EQ(GetFileAttributesA((root + "temp\\" + link).c_str()) &
                          (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
                      static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
                << "Wine shows no link at " << link;
        } else {
            MakeFileLink(root + "temp\\" + link, victim + "keep.txt", FileLinkKind::Symbolic);
        }
        const auto before = ListTree(victim);
        DeleteFolderTree(root + "temp\\LUM_TEMP\\GameDisk");
        EXPECT_EQ(ListTree(victim), before) << "link at " << link;
        EXPECT_EQ(ReadFile(victim + "GameDisk\\keep.txt"), "must survive") << "link at " << link;
        EXPECT_TRUE(GetFileAttributesA((victim + "keep.txt").c_str()) & FILE_ATTRIBUTE_READONLY)
            << "link at " << link;
        // The link itself may go (Windows) or stay (Wine 8 cannot remove it from Windows code).
        if (FolderExists(ExtractFileDir(root + "temp\\" + link)))
            RemoveFolderLink(root + "temp\\" + link);
        SetFileAttributesA((victim + "keep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    RemoveTree(FreshFolder("dft-link"));
}

} // namespace
