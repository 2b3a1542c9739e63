// Tests of making disk sets on the real file system (POSIX natively, Win32 under Wine): the
// files of each disk, the description, volumes that join into an archive the decoder
// extracts, the programs copied, and the refusals that leave OUT_FOLDER as it was.
#include "MakeDisks.h"
#include "DiskSet.h"

#include "HostFiles.h"
#include "SampleData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace mkdisks {
namespace {

namespace fs = std::filesystem;
using namespace lha::test;

class Recorder final : public lha::Observer {
public:
    void report(std::string_view line) override { lines.emplace_back(line); }
    void error(std::string_view line) override { errors.emplace_back(line); }
    void progress(std::string_view, std::uint64_t, std::uint64_t) override {}
    bool cancelled() override { return false; }

    std::vector<std::string> lines;
    std::vector<std::string> errors;
};

class MakeDisks : public ::testing::Test {
protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() / ("mkdisks-test-" + std::to_string(std::random_device{}()));
        writeFile(root_ / "programs" / "Setup.exe", noise(70000, 1));
        writeFile(root_ / "programs" / "UNLHA32.DLL", noise(30000, 2));
        game_ = {{"LUM_RT.exe", noise(4000, 3)},
                 {"data/", ""},
                 {"data/script.txt", std::string(200000, 'a') + "the end"},
                 {"data/world.bin", noise(120000, 4)},
                 {"save/", ""},
                 {"save/empty.sav", ""}};
        for (const auto& [path, contents] : game_)
            if (path.back() == '/')
                fs::create_directories(root_ / "game" / path);
            else
                writeFile(root_ / "game" / path, contents);
        options_.project = "Project1";
        options_.title = "The Game";
        options_.programs = (root_ / "programs").string();
        options_.game = (root_ / "game").string();
        options_.out = (root_ / "out").string();
    }
    void TearDown() override { fs::remove_all(root_); }

    lha::Status make() {
        const auto fileSystem = lha::makeFileSystem();
        recorder_ = Recorder{};
        return makeDisks(options_, *fileSystem, recorder_);
    }

    // Extracts the archive that the volumes (or the whole archive) make, with the decoder.
    Tree extracted(const std::vector<std::string>& parts) {
        std::string archive;
        for (const std::string& part : parts)
            archive += readFile(root_ / "out" / part);
        writeFile(root_ / "joined.lzh", archive);
        const auto fileSystem = lha::makeFileSystem();
        Recorder recorder;
        const lha::Job job{lha::Action::Extract, (root_ / "joined.lzh").string(),
                           (root_ / "extracted").string()};
        EXPECT_EQ(lha::runJob(job, *fileSystem, recorder), lha::Status::Ok);
        return readTree(root_ / "extracted");
    }

    fs::path root_;
    Tree game_;
    Options options_;
    Recorder recorder_;
};

TEST_F(MakeDisks, TwoDisksWithVolumesAndTheirDescription) {
    options_.disks = 2;
    ASSERT_EQ(make(), lha::Status::Ok) << (recorder_.errors.empty() ? "" : recorder_.errors[0]);
    EXPECT_TRUE(recorder_.errors.empty());
    const Tree out = readTree(root_ / "out");
    std::vector<std::string> names;
    for (const auto& [path, contents] : out)
        names.push_back(path);
    EXPECT_EQ(names, (std::vector<std::string>{"disk1/", "disk1/Project1.001", "disk1/Setup.exe",
                                               "disk1/Setup.ini", "disk1/UNLHA32.DLL", "disk2/",
                                               "disk2/Project1.002"}));
    EXPECT_EQ(out.at("disk1/Setup.ini"),
              "[Setup]\r\nProjectName=Project1\r\nGameTitle=The Game\r\nDiskNumber=2\r\n");
    EXPECT_EQ(out.at("disk1/Setup.exe"), readFile(root_ / "programs" / "Setup.exe"));
    EXPECT_EQ(out.at("disk1/UNLHA32.DLL"), readFile(root_ / "programs" / "UNLHA32.DLL"));
    // Even disks: the first holds its volume and the programs.
    const std::uint64_t first =
        onDisk(70000) + onDisk(30000) + 512 + out.at("disk1/Project1.001").size();
    const std::uint64_t second = out.at("disk2/Project1.002").size();
    EXPECT_LE(first > second ? first - second : second - first, 1u);
    EXPECT_TRUE(extracted({"disk1/Project1.001", "disk2/Project1.002"}) == game_);
}

TEST_F(MakeDisks, OneArchiveWhenNoSplitIsAskedFor) {
    options_.method = "-lh7-";
    ASSERT_EQ(make(), lha::Status::Ok);
    const Tree out = readTree(root_ / "out");
    EXPECT_EQ(out.size(), 5u);
    EXPECT_EQ(out.at("disk1/Setup.ini"),
              "[Setup]\r\nProjectName=Project1\r\nGameTitle=The Game\r\n");
    EXPECT_TRUE(extracted({"disk1/Project1.lzh"}) == game_);
    EXPECT_EQ(recorder_.lines.back(), (root_ / "out" / "disk1").string() +
                                          ": Setup.exe, Setup.ini, UNLHA32.DLL, Project1.lzh");
}

TEST_F(MakeDisks, FloppiesFilledInTurn) {
    writeFile(root_ / "game" / "data" / "movie.bin", noise(3000000, 5));
    game_["data/movie.bin"] = noise(3000000, 5);
    options_.diskSize = 1457664;
    ASSERT_EQ(make(), lha::Status::Ok);
    const Tree out = readTree(root_ / "out");
    EXPECT_EQ(out.at("disk1/Project1.001").size(), 1457664u - onDisk(70000) - onDisk(30000) - 512);
    EXPECT_EQ(out.at("disk2/Project1.002").size(), 1457664u);
    EXPECT_TRUE(extracted({"disk1/Project1.001", "disk2/Project1.002", "disk3/Project1.003"}) ==
                game_);
}

TEST_F(MakeDisks, RefusalsLeaveTheOutputFolderAsItWas) {
    const struct {
        std::string what;
        std::function<void(Options&, const fs::path&)> change;
        lha::Status status;
        std::string error; // what the last error line says
    } cases[] = {
        {"too large for one floppy",
         [](Options& o, const fs::path&) {
             o.diskSize = 200000;
             o.disks = 1;
         },
         lha::Status::BadCommand, "the game needs 2 disks of 200000 bytes"},
        {"a disk too small for the programs",
         [](Options& o, const fs::path&) { o.diskSize = 100000; }, lha::Status::BadCommand,
         "a disk of 100000 bytes does not hold Setup.exe"},
        {"a project name Setup cannot use",
         [](Options& o, const fs::path&) { o.project = "Project?"; }, lha::Status::BadCommand,
         "project name 'Project?' cannot be Setup's folder and key name"},
        {"a project name whose paths would not fit in Setup's folders",
         [](Options& o, const fs::path&) { o.project = std::string(240, 'p'); },
         lha::Status::BadCommand,
         "' cannot be Setup's folder and key name: the paths of the game folder's files would "
         "be too long"},
        {"a project name too long for a thousand volumes",
         [](Options& o, const fs::path&) {
             o.project = std::string(109, 'p');
             o.disks = 1000;
         },
         lha::Status::BadCommand, "' is too long for a set of 1000 volumes"},
        {"a title whose shortcut's path would not fit",
         [](Options& o, const fs::path&) { o.title = std::string(106, 't'); },
         lha::Status::BadCommand,
         "' cannot be a shortcut's name: the shortcut's path would be too long"},
        {"a title no shortcut can have",
         [](Options& o, const fs::path&) { o.title = "Quest: The Game"; }, lha::Status::BadCommand,
         "title 'Quest: The Game' cannot be a shortcut's name"},
        {"no programs",
         [](Options& o, const fs::path& root) { o.programs = (root / "game").string(); },
         lha::Status::ReadFailed, ": no Setup.exe there (give its folder with --programs DIR)"},
        {"an output folder inside the game",
         [](Options& o, const fs::path& root) { o.out = (root / "game" / "disks").string(); },
         lha::Status::BadCommand, ": inside the game folder; the disk set goes elsewhere"},
        {"a game of empty folders",
         [](Options& o, const fs::path& root) {
             fs::create_directories(root / "hollow" / "data");
             o.game = (root / "hollow").string();
         },
         lha::Status::BadCommand, "hollow: no files in it, nothing to install"},
        {"an output folder with something in it",
         [](Options&, const fs::path& root) { writeFile(root / "out" / "old.txt", "old"); },
         lha::Status::WriteFailed, ": not empty; the disk set goes into an empty or new folder"},
    };
    for (const auto& c : cases) {
        fs::remove_all(root_ / "out");
        Options saved = options_;
        c.change(options_, root_);
        const Tree before = fs::exists(root_ / "out") ? readTree(root_ / "out") : Tree{};
        EXPECT_EQ(make(), c.status) << c.what;
        ASSERT_FALSE(recorder_.errors.empty()) << c.what;
        EXPECT_NE(recorder_.errors.back().find(c.error), std::string::npos)
            << c.what << ": " << recorder_.errors.back();
        const Tree after = fs::exists(root_ / "out") ? readTree(root_ / "out") : Tree{};
        EXPECT_TRUE(after == before) << c.what;
        EXPECT_FALSE(fs::exists(root_ / "game" / "disks")) << c.what;
        if (c.what == "a disk too small for the programs") {
            EXPECT_TRUE(recorder_.lines.empty()) << c.what << ": known before packing";
        }
        options_ = saved;
    }
}

TEST_F(MakeDisks, WarnsWithoutTheRuntimeAndGoesOn) {
    fs::remove(root_ / "game" / "LUM_RT.exe");
    game_.erase("LUM_RT.exe");
    ASSERT_EQ(make(), lha::Status::Ok);
    ASSERT_EQ(recorder_.errors.size(), 1u);
    EXPECT_EQ(recorder_.errors[0].rfind("warning: LUM_RT.exe is not at the top of ", 0), 0u);
    EXPECT_TRUE(extracted({"disk1/Project1.lzh"}) == game_);
}

} // namespace
} // namespace mkdisks
