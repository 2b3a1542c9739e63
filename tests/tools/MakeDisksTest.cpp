// Tests of making disk sets on the real file system (POSIX natively, Win32 under Wine): the
// files of each disk, the description, volumes that join into an archive the decoder
// extracts, the programs copied, and the refusals that leave OUT_FOLDER as it was; natively,
// the disk images as other programs read them.
#include "MakeDisks.h"
#include "DiskImages.h"
#include "DiskSet.h"

#include "HostFiles.h"
#include "SampleData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifndef _WIN32
#include "InterruptedCommand.h"

#include <csignal>
#include <cstring>
#endif

namespace mkdisks {
namespace {

namespace fs = std::filesystem;
using namespace lha::test;

class Recorder final : public lha::Observer {
public:
    void report(std::string_view line) override {
        lines.emplace_back(line);
        stopped = stopped || (!stopAt.empty() && line.substr(0, stopAt.size()) == stopAt);
    }
    void error(std::string_view line) override { errors.emplace_back(line); }
    void progress(std::string_view, std::uint64_t, std::uint64_t) override {}
    bool cancelled() override { return stopped; }

    std::vector<std::string> lines;
    std::vector<std::string> errors;
    std::string stopAt;   // the run is cancelled from the report line that begins so
    bool stopped = false; //
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

    lha::Status make(const std::string& stopAt = "") {
        const auto fileSystem = lha::makeFileSystem();
        recorder_ = Recorder{};
        recorder_.stopAt = stopAt;
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
        {"an output folder inside the game, spelt another way",
         [](Options& o, const fs::path& root) {
             o.out = (root / "out" / ".." / "game" / "." / "disks").string();
         },
         lha::Status::BadCommand, ": inside the game folder; the disk set goes elsewhere"},
        {"a game of empty folders",
         [](Options& o, const fs::path& root) {
             fs::create_directories(root / "hollow" / "data");
             o.game = (root / "hollow").string();
         },
         lha::Status::BadCommand, "hollow: no files in it, nothing to install"},
        {"a path in the game too long for Setup's folders",
         [](Options& o, const fs::path& root) {
             // 130 bytes less the project name's 8 are left for a path in the game.
             writeFile(root / "deep" / "LUM_RT.exe", "runtime");
             writeFile(root / "deep" / "d" / std::string(120, 'f'), "fits");
             writeFile(root / "deep" / "e" / std::string(121, 'f'), "one byte too long");
             o.game = (root / "deep").string();
         },
         lha::Status::RefusedPath, "its path of 123 bytes is longer than the 122 it may have"},
        {"a project name too long for a CD image's names",
         [](Options& o, const fs::path&) {
             o.project = std::string(61, 'p');
             o.images = true;
         },
         lha::Status::BadCommand, "' is too long for a CD image, whose names hold at most 64"},
        {"an output folder with something in it",
         [](Options&, const fs::path& root) { writeFile(root / "out" / "old.txt", "old"); },
         lha::Status::WriteFailed, ": not empty; the disk set goes into an empty or new folder"},
        {"an empty output folder, a game too large for one floppy",
         [](Options& o, const fs::path& root) {
             fs::create_directories(root / "out");
             o.diskSize = 200000;
             o.disks = 1;
         },
         lha::Status::BadCommand, "the game needs 2 disks of 200000 bytes"},
        {"an output folder in new folders, a game of empty folders",
         [](Options& o, const fs::path& root) {
             fs::create_directories(root / "hollow" / "data");
             o.game = (root / "hollow").string();
             o.out = (root / "out" / "new" / "set").string();
         },
         lha::Status::BadCommand, "hollow: no files in it, nothing to install"},
    };
    for (const auto& c : cases) {
        fs::remove_all(root_ / "out");
        Options saved = options_;
        c.change(options_, root_);
        const bool existed = fs::exists(root_ / "out");
        const Tree before = existed ? readTree(root_ / "out") : Tree{};
        EXPECT_EQ(make(), c.status) << c.what;
        ASSERT_FALSE(recorder_.errors.empty()) << c.what;
        EXPECT_NE(recorder_.errors.back().find(c.error), std::string::npos)
            << c.what << ": " << recorder_.errors.back();
        ASSERT_EQ(fs::exists(root_ / "out"), existed) << c.what;
        const Tree after = existed ? readTree(root_ / "out") : Tree{};
        EXPECT_TRUE(after == before) << c.what;
        EXPECT_FALSE(fs::exists(root_ / "game" / "disks")) << c.what;
        if (c.what == "a disk too small for the programs") {
            EXPECT_TRUE(recorder_.lines.empty()) << c.what << ": known before packing";
        }
        options_ = saved;
    }
}

#ifndef _WIN32
// The readers run with UTF-8 names; mtools without its drive-geometry check of image files.
constexpr const char* kReaders = "LC_ALL=C.UTF-8 MTOOLS_SKIP_CHECK=1 ";

// Runs a shell command in `folder`; its exit code, and its output in `out`.
int run(const std::string& command, const fs::path& folder, std::string& out) {
    const fs::path output = folder / "output.txt";
    const std::string line =
        "cd " + quote(folder) + " && " + kReaders + command + " >" + quote(output) + " 2>&1";
    const int status = std::system(line.c_str());
    out = readFile(output);
    fs::remove(output);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool ascii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// 7zz extracts the image into a folder of its own that must match the disk's folder.
void expectSevenZipExtracts(const fs::path& image, const fs::path& disk, const std::string& what) {
    const fs::path into = image.parent_path() / ("7zz-" + image.filename().string());
    std::string out;
    EXPECT_EQ(run("7zz x -y -o" + quote(into) + " " + quote(image), disk.parent_path(), out), 0)
        << what << ": " << out;
    EXPECT_TRUE(readTree(into) == readTree(disk)) << what << ": 7zz, " << image.filename();
}

void expectCdReadersAccept(const fs::path& image, const fs::path& disk, const std::string& label,
                           const std::string& what) {
    const fs::path folder = image.parent_path();
    std::string out;
    EXPECT_EQ(run("isovfy -i " + quote(image), folder, out), 0) << what;
    EXPECT_NE(out.find("No errors found"), std::string::npos) << what << ": isovfy: " << out;
    EXPECT_EQ(run("isoinfo -d -i " + quote(image), folder, out), 0) << what;
    EXPECT_NE(out.find("Volume id: " + label + "\n"), std::string::npos) << what << ": " << out;
    EXPECT_NE(out.find("Joliet with UCS level 3 found"), std::string::npos) << what << ": " << out;
    // The primary tree has an 8.3 name for every file; xorriso reads it alone.
    const Tree files = readTree(disk);
    EXPECT_EQ(
        run("xorriso -read_fs ecma119 -indev " + quote(image) + " -find / -type f", folder, out), 0)
        << what << ": " << out;
    std::size_t listed = 0;
    for (std::size_t at = out.find("\n'/"); at != std::string::npos; at = out.find("\n'/", at + 1))
        ++listed;
    EXPECT_EQ(listed, files.size()) << what << ": " << out;
    // The Joliet tree has the names as the folder has them: isoinfo reads each file by it (it
    // knows 8-bit character sets only), xorriso extracts the tree.
    for (const auto& [name, contents] : files) {
        if (!ascii(name)) continue;
        EXPECT_EQ(run("isoinfo -J -x " + quote("/" + name) + " -i " + quote(image), folder, out), 0)
            << what;
        EXPECT_TRUE(out == contents) << what << ": isoinfo -J, " << name;
    }
    const fs::path into = folder / ("xorriso-" + image.filename().string());
    EXPECT_EQ(run("xorriso -indev " + quote(image) + " -osirrox on -extract / " + quote(into),
                  folder, out),
              0)
        << what << ": " << out;
    EXPECT_TRUE(readTree(into) == readTree(disk)) << what << ": xorriso, " << image.filename();
}

void expectFloppyReadersAccept(const fs::path& image, const fs::path& disk,
                               const std::string& label, const std::string& what) {
    const fs::path folder = image.parent_path();
    std::string out;
    EXPECT_EQ(run("fsck.fat -n " + quote(image), folder, out), 0) << what << ": " << out;
    // Its banner and its summary only: each fault adds lines.
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << what << ": " << out;
    EXPECT_EQ(run("mdir -i " + quote(image) + " ::", folder, out), 0) << what << ": " << out;
    std::string padded = label;
    padded.resize(11, ' ');
    EXPECT_NE(out.find("Volume in drive : is " + padded + "\n"), std::string::npos)
        << what << ": " << out;
    for (const auto& [name, contents] : readTree(disk)) {
        // A name that is its own 8.3 form has no long name to list.
        if (name != "UNLHA32.DLL") {
            EXPECT_NE(out.find(" " + name + "\n"), std::string::npos) << what << ": mdir: " << out;
        }
        const fs::path copy = folder / "mcopy.out";
        std::string ignored;
        EXPECT_EQ(run("mcopy -n -i " + quote(image) + " " + quote("::" + name) + " " + quote(copy),
                      folder, ignored),
                  0)
            << what << ": " << name << ": " << ignored;
        EXPECT_TRUE(readFile(copy) == contents) << what << ": mcopy, " << name;
        fs::remove(copy);
    }
}

TEST_F(MakeDisks, ImagesThatOtherReadersAccept) {
    // Katakana "game" in UTF-8, as Linux names it.
    const std::string japanese = "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0";
    const struct {
        std::string what;
        std::string project;
        std::string title;
        std::string diskSize; // empty: none
        int disks;
        std::string format;      // --image-format; empty: by the disk size
        std::size_t movie;       // bytes of incompressible data added to the game
        int images;              // how many
        std::string extension;   // ".iso" or ".img"
        std::uint64_t imageSize; // of each floppy image
    } cases[] = {
        {"two CDs", "Project1", "The Game", "", 2, "", 0, 2, ".iso", 0},
        {"a CD, a long project name, a Japanese title", "ProjectLongName", japanese, "", 0, "", 0,
         1, ".iso", 0},
        {"a CD, a Japanese project name", japanese, "The Game", "", 0, "", 0, 1, ".iso", 0},
        {"1.44M floppies filled in turn, the first two full", "Project1", "The Game", "1.44M", 0,
         "", 3000000, 3, ".img", 1474560},
        {"1.2M floppies, a long project name", "ProjectLongName", "The Game", "1.2M", 0, "",
         1500000, 2, ".img", 1228800},
        {"720K floppies of 1,024-byte clusters", "ProjectLongName", "The Game", "720K", 0, "",
         1000000, 2, ".img", 737280},
        {"360K floppies, a Japanese project name", japanese, japanese, "360K", 0, "", 400000, 2,
         ".img", 368640},
        {"floppy images asked for, the smallest that takes the disks", "Project1", "The Game", "",
         2, "img", 0, 2, ".img", 368640},
        {"CD images asked for on floppies", "Project1", "The Game", "1.44M", 0, "iso", 2000000, 2,
         ".iso", 0},
    };
    for (const auto& c : cases) {
        fs::remove_all(root_ / "out");
        fs::remove(root_ / "game" / "data" / "movie.bin");
        if (c.movie != 0) writeFile(root_ / "game" / "data" / "movie.bin", noise(c.movie, 6));
        Options saved = options_;
        options_.project = c.project;
        options_.title = c.title;
        options_.diskSize = 0;
        if (!c.diskSize.empty()) {
            ASSERT_TRUE(parseDiskSize(c.diskSize, options_.diskSize));
        }
        options_.disks = c.disks;
        options_.images = true;
        options_.imageFormat = c.format;
        ASSERT_EQ(make(), lha::Status::Ok)
            << c.what << ": " << (recorder_.errors.empty() ? "" : recorder_.errors.back());
        options_ = saved;

        std::vector<std::string> images;
        for (const auto& entry : fs::directory_iterator(root_ / "out"))
            if (entry.is_regular_file()) images.push_back(entry.path().filename().string());
        std::sort(images.begin(), images.end());
        std::vector<std::string> expected;
        for (int disk = 1; disk <= c.images; ++disk)
            expected.push_back(c.project + "-disk" + std::to_string(disk) + c.extension);
        ASSERT_EQ(images, expected) << c.what;
        for (int disk = 1; disk <= c.images; ++disk) {
            const fs::path image = root_ / "out" / expected[static_cast<std::size_t>(disk - 1)];
            const fs::path folder = root_ / "out" / ("disk" + std::to_string(disk));
            const std::string what = c.what + ", disk " + std::to_string(disk);
            expectSevenZipExtracts(image, folder, what);
            if (c.extension == ".iso") {
                EXPECT_EQ(fs::file_size(image) % (16 * 2048), 150u * 2048 % (16 * 2048)) << what;
                expectCdReadersAccept(image, folder, isoLabel(c.project, disk), what);
            } else {
                EXPECT_EQ(fs::file_size(image), c.imageSize) << what;
                expectFloppyReadersAccept(image, folder, fatLabel(c.project, disk), what);
            }
        }
    }
}

TEST_F(MakeDisks, AnInterruptedCommandLeavesTheOutputFolderAsItWas) {
    // Incompressible data at the best effort: packing it takes long enough to be interrupted.
    writeFile(root_ / "game" / "data" / "movie.bin", noise(16 << 20, 9));
    const struct {
        int signal;
        bool outExisted; // OUT_FOLDER was there, empty
    } cases[] = {{SIGINT, false}, {SIGTERM, true}};
    for (const auto& c : cases) {
        const std::string what =
            std::string(strsignal(c.signal)) + (c.outExisted ? ", an empty output folder" : "");
        const fs::path out = root_ / "out";
        fs::remove_all(out);
        if (c.outExisted) fs::create_directories(out);
        // Interrupted while it writes the archive.
        const fs::path partial = out / "Project1.lzh.unlha-part";
        const Interrupted run = runInterrupted(
            {MKDISKS_COMMAND, "--programs", options_.programs, "--project", "Project1", "--title",
             "The Game", "--best", options_.game, out.string()},
            root_ / "mkdisks.log", c.signal, [&] { return hasData(partial); });
        ASSERT_TRUE(run.atWork) << what << ": " << run.log;
        ASSERT_TRUE(run.ended) << what;
        EXPECT_EQ(run.exitCode, static_cast<int>(lha::Status::Cancelled)) << what;
        EXPECT_NE(run.log.find("mkdisks: interrupted; what this run had written is removed"),
                  std::string::npos)
            << what << ": " << run.log;
        ASSERT_EQ(fs::exists(out), c.outExisted) << what;
        if (c.outExisted) {
            EXPECT_TRUE(fs::is_empty(out)) << what;
        }
    }
}

TEST_F(MakeDisks, FloppyImagesExactlyFull) {
    // A game whose archive exactly fills two floppies: stored data grows the archive byte for
    // byte, so one set made first tells how much to add.
    options_.diskSize = 1457664;
    writeFile(root_ / "game" / "data" / "movie.bin", noise(2000000, 8));
    ASSERT_EQ(make(), lha::Status::Ok);
    const std::uint64_t archive = fs::file_size(root_ / "out" / "disk1" / "Project1.001") +
                                  fs::file_size(root_ / "out" / "disk2" / "Project1.002");
    const std::uint64_t room = 2 * 1457664 - onDisk(70000) - onDisk(30000) - 512;
    ASSERT_LT(archive, room);
    fs::remove_all(root_ / "out");
    writeFile(root_ / "game" / "data" / "movie.bin", noise(2000000 + (room - archive), 8));
    options_.images = true;
    ASSERT_EQ(make(), lha::Status::Ok);
    EXPECT_EQ(fs::file_size(root_ / "out" / "disk2" / "Project1.002"), 1457664u);
    EXPECT_FALSE(fs::exists(root_ / "out" / "disk3"));
    for (const char* disk : {"1", "2"}) {
        const fs::path image = root_ / "out" / ("Project1-disk" + std::string(disk) + ".img");
        std::string out;
        EXPECT_EQ(run("mdir -i " + quote(image) + " ::", root_, out), 0) << disk;
        EXPECT_NE(out.find(" 0 bytes free"), std::string::npos) << disk << ": " << out;
        expectFloppyReadersAccept(image, root_ / "out" / ("disk" + std::string(disk)),
                                  "PROJECT1_" + std::string(disk), disk);
    }
    EXPECT_FALSE(fs::exists(root_ / "out" / "Project1-disk3.img"));
}
#endif

TEST_F(MakeDisks, ImagesThatCannotBeMadeLeaveNoneBehind) {
    // Two disks of 2 MB each: no floppy takes them.
    writeFile(root_ / "game" / "data" / "movie.bin", noise(4000000, 7));
    options_.disks = 2;
    options_.images = true;
    options_.imageFormat = "img";
    EXPECT_EQ(make(), lha::Status::BadCommand);
    ASSERT_FALSE(recorder_.errors.empty());
    EXPECT_NE(recorder_.errors.back().find("Project1-disk1.img: the files take more than a 1.44M "
                                           "floppy holds"),
              std::string::npos)
        << recorder_.errors.back();
    // The disk folders written before go too, with the output folder this run made.
    EXPECT_FALSE(fs::exists(root_ / "out"));
}

TEST_F(MakeDisks, ACancelledRunLeavesTheOutputFolderAsItWas) {
    options_.disks = 2;
    options_.images = true;
    const struct {
        std::string stopAt; // the report line from which the run is cancelled
        bool outExisted;    // OUT_FOLDER was there, empty
    } cases[] = {
        {"packing ", false},
        {"checking the set", false},
        {"writing the images", false},
        {"checking the set", true},
    };
    for (const auto& c : cases) {
        const std::string what = c.stopAt + (c.outExisted ? ", an empty output folder" : "");
        fs::remove_all(root_ / "out");
        if (c.outExisted) fs::create_directories(root_ / "out");
        EXPECT_EQ(make(c.stopAt), lha::Status::Cancelled) << what;
        ASSERT_EQ(fs::exists(root_ / "out"), c.outExisted) << what;
        if (c.outExisted) {
            EXPECT_TRUE(fs::is_empty(root_ / "out")) << what;
        }
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
