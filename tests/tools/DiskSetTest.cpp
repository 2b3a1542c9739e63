// Tests of the disk set's rules: disk sizes, the volume plan with the first disk's reserve and
// the too-large error, the setup description byte for byte, the names Setup can use, the
// command line and the images' volume labels.
#include "DiskSet.h"
#include "DiskImages.h"
#include "Options.h"

#include <gtest/gtest.h>

#include <numeric>

namespace mkdisks {
namespace {

TEST(DiskSize, BytesUnitsAndFloppies) {
    const struct {
        std::string text;
        bool ok;
        std::uint64_t bytes;
    } cases[] = {
        {"1457664", true, 1457664},
        {"1.44M", true, 1457664},
        {"1.44m", true, 1457664},
        {"1.2M", true, 1213952},
        {"720K", true, 730112},
        {"360k", true, 362496},
        {"650M", true, 681574400},
        {"700M", true, 734003200},
        {"4.7G", true, 4700000000},
        {"2K", true, 2048},
        {"1.5M", true, 1572864},
        {"0", false, 0},
        {"", false, 0},
        {"M", false, 0},
        {"12X", false, 0},
        {"1.2.3M", false, 0},
        {"-5", false, 0},
        {"5MB", false, 0},
        {"1.44", false, 0},
        {"1457664.5", false, 0},
    };
    for (const auto& c : cases) {
        std::uint64_t bytes = 0;
        EXPECT_EQ(parseDiskSize(c.text, bytes), c.ok) << "\"" << c.text << "\"";
        if (c.ok) {
            EXPECT_EQ(bytes, c.bytes) << "\"" << c.text << "\"";
        }
    }
}

TEST(SetupDescription, IsTheIniSetupReads) {
    EXPECT_EQ(setupDescription("Project1", "The Game", 0),
              "[Setup]\r\nProjectName=Project1\r\nGameTitle=The Game\r\n");
    EXPECT_EQ(
        setupDescription("\x83\x51\x81\x5B\x83\x80", "T", 12),
        "[Setup]\r\nProjectName=\x83\x51\x81\x5B\x83\x80\r\nGameTitle=T\r\nDiskNumber=12\r\n");
    EXPECT_EQ(volumeName("Project1", 1), "Project1.001");
    EXPECT_EQ(volumeName("My Game", 42), "My Game.042");
    EXPECT_EQ(volumeName("P", 1000), "P.1000");
}

DiskSetSize set(std::uint64_t archive, std::uint64_t diskSize, int disks) {
    DiskSetSize s;
    s.archive = archive;
    s.programs = 300032 + 90112; // Setup.exe and the library in whole sectors
    s.project = "Project1";
    s.title = "The Game";
    s.diskSize = diskSize;
    s.disks = disks;
    return s;
}

TEST(VolumePlan, SizesCountAndTheFirstDisksReserve) {
    constexpr std::uint64_t kFloppy = 1457664;
    // Programs 390144 bytes plus one sector of description.
    constexpr std::uint64_t kReserve = 390144 + 512;
    DiskSetSize bigPrograms = set(600000, kFloppy, 2);
    bigPrograms.programs = 1300000;
    const struct {
        std::string what;
        DiskSetSize set;
        std::vector<std::uint64_t> volumes; // empty: one whole archive
    } cases[] = {
        {"no limit", set(5000000, 0, 0), {}},
        {"fits one floppy", set(kFloppy - kReserve, kFloppy, 0), {}},
        {"one byte more than a floppy holds",
         set(kFloppy - kReserve + 1, kFloppy, 0),
         {kFloppy - kReserve, 1}},
        {"three floppies", set(3000000, kFloppy, 0), {kFloppy - kReserve, kFloppy, 475328}},
        {"two disks, even",
         set(1000001, 0, 2),
         {(1000001 + kReserve) / 2 + 1 - kReserve, (1000001 + kReserve) / 2}},
        {"three disks of a floppy each",
         set(3000000, kFloppy, 3),
         {1130219 - kReserve, 1130219, 1130218}},
        {"one disk asked, and it fits", set(1000, kFloppy, 1), {}},
        {"two disks, the programs more than half", set(100001, 0, 2), {50001, 50000}},
        {"two floppies, the programs most of the first", bigPrograms, {156672, 443328}},
        // The description takes a whole cluster of 1,024 bytes.
        {"720K floppies, in clusters", set(1000000, 730112, 0), {730112 - 390144 - 1024, 661056}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint64_t> volumes;
        std::string error;
        ASSERT_TRUE(planVolumes(c.set, volumes, error)) << c.what << ": " << error;
        EXPECT_EQ(volumes, c.volumes) << c.what;
        if (volumes.empty()) continue;
        EXPECT_EQ(std::accumulate(volumes.begin(), volumes.end(), std::uint64_t{0}), c.set.archive)
            << c.what;
        if (c.set.diskSize == 0) continue;
        // What each disk holds, in whole sectors, the first with its other files.
        EXPECT_LE(onDisk(volumes[0]) + c.set.programs + 512, c.set.diskSize) << c.what;
        for (const std::uint64_t volume : volumes)
            EXPECT_LE(onDisk(volume), c.set.diskSize) << c.what;
    }
}

TEST(VolumePlan, ImpossibleSetsSayWhy) {
    constexpr std::uint64_t kFloppy = 1457664;
    const struct {
        std::string what;
        DiskSetSize set;
        std::string error;
    } cases[] = {
        {"too large for one floppy", set(3000000, kFloppy, 1),
         "the game needs 3 disks of 1457664 bytes"},
        {"too large for two floppies", set(3000000, kFloppy, 2),
         "the game needs 3 disks of 1457664 bytes"},
        {"too small for five disks", set(4, 0, 5), "the game is too small for 5 disks"},
        {"programs fill the first disk", set(3000000, 390000, 0),
         "a disk of 390000 bytes does not hold Setup.exe, its description and UNLHA32.DLL "
         "(390656 bytes) with a volume beside them"},
    };
    for (const auto& c : cases) {
        std::vector<std::uint64_t> volumes;
        std::string error;
        EXPECT_FALSE(planVolumes(c.set, volumes, error)) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_TRUE(volumes.empty()) << c.what;
    }
}

TEST(VolumePlan, TheDescriptionsSizeFollowsTheDiskCount) {
    // A title that makes the description one sector long with a one-digit disk count: a
    // tenth volume takes a second sector on the first disk, and that pushes out an eleventh.
    DiskSetSize s = set(0, 20000, 0);
    s.programs = 0;
    s.title = std::string(512 - setupDescription(s.project, "", 9).size(), 't');
    constexpr std::uint64_t kPerDisk = 19968; // whole sectors of the 20000 bytes
    s.archive = kPerDisk - 512 + 8 * kPerDisk;
    std::vector<std::uint64_t> volumes;
    std::string error;
    ASSERT_TRUE(planVolumes(s, volumes, error)) << error;
    EXPECT_EQ(volumes.size(), 9u);
    EXPECT_EQ(volumes[0], kPerDisk - 512);
    s.archive += kPerDisk;
    ASSERT_TRUE(planVolumes(s, volumes, error)) << error;
    ASSERT_EQ(volumes.size(), 11u);
    EXPECT_EQ(volumes[0], kPerDisk - 1024);
    EXPECT_EQ(volumes[10], 512u);
}

TEST(Names, WhatSetupCanUse) {
    const struct {
        std::string name;
        bool project;
        bool title;
    } cases[] = {
        {"Project1", true, true},
        {"My Game", true, true},
        {"\x83\x5C\x83\x74\x83\x67", true, true}, // ソフト, trail byte 0x5C
        {"Quest: The Game", false, false},
        {"a\\b", false, false},
        {"what?", false, false},
        {" lead", false, false},
        {"trail ", false, false},
        {"dot.", false, false},
        {"CON", false, false},
        {"", false, false},
        {"..", false, false},
        {"\x83", false, false}, // a lead byte without its trail byte
        // Setup's paths in folders of 128 bytes: a volume in the temporary folder for the
        // project, the shortcut for the title.
        {std::string(105, 'p'), true, true},
        {std::string(106, 'p'), true, false},
        {std::string(109, 'p'), true, false},
        {std::string(110, 'p'), false, false},
        {std::string(240, 'p'), false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(refusedProjectName(c.name) == nullptr, c.project) << "\"" << c.name << "\"";
        EXPECT_EQ(refusedTitle(c.name) == nullptr, c.title) << "\"" << c.name << "\"";
    }
}

TEST(CommandLine, OptionsAndTheirErrors) {
    const struct {
        std::vector<std::string> arguments;
        bool ok;
        std::uint64_t diskSize;
        int disks;
        std::string method;
    } cases[] = {
        {{"--project", "P", "--title", "T", "game", "out"}, true, 0, 0, "-lh5-"},
        {{"--project", "P", "--title", "T", "--disk-size", "1.44M", "--disks", "3", "--method",
          "lh7", "--best", "--no-verify", "--programs", "bin", "game", "out"},
         true,
         1457664,
         3,
         "-lh7-"},
        {{"--project", "P", "game", "out"}, false, 0, 0, ""},
        {{"--project", "P", "--title", "T", "game"}, false, 0, 0, ""},
        {{"--project", "P", "--title", "T", "--disks", "0", "game", "out"}, false, 0, 0, ""},
        {{"--project", "P", "--title", "T", "--disks", "2x", "game", "out"}, false, 0, 0, ""},
        {{"--project", "P", "--title", "T", "--method", "lh1", "game", "out"}, false, 0, 0, ""},
        {{"--project", "P", "--title", "T", "--disk-size", "big", "game", "out"}, false, 0, 0, ""},
        {{"--project", "P", "--title", "T", "--colour", "game", "out"}, false, 0, 0, ""},
        {{"--project", "P", "--title"}, false, 0, 0, ""},
        {{"--project", "P", "--title", "T", "--images", "game", "out"}, true, 0, 0, "-lh5-"},
        {{"--project", "P", "--title", "T", "--", "game", "out"}, true, 0, 0, "-lh5-"},
        {{"--project", "P", "--title", "T", "--", "game", "out", "--best"}, false, 0, 0, ""},
        {{"--project", "P", "--title", "T", "--image-format", "zip", "game", "out"},
         false,
         0,
         0,
         ""},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const std::string& argument : c.arguments)
            joined += argument + ' ';
        Options options;
        std::string error;
        ASSERT_EQ(parseOptions(c.arguments, options, error), c.ok) << joined << ": " << error;
        if (!c.ok) {
            EXPECT_FALSE(error.empty()) << joined;
            continue;
        }
        EXPECT_EQ(options.diskSize, c.diskSize) << joined;
        EXPECT_EQ(options.disks, c.disks) << joined;
        EXPECT_EQ(options.method, c.method) << joined;
        EXPECT_EQ(options.game, "game");
        EXPECT_EQ(options.out, "out");
    }
    Options options;
    std::string error;
    ASSERT_TRUE(parseOptions({"--title", "T", "--help"}, options, error));
    EXPECT_TRUE(options.help);
    ASSERT_TRUE(parseOptions({"-h"}, options, error));
    EXPECT_TRUE(options.help);
    ASSERT_TRUE(parseOptions({"--version"}, options, error));
    EXPECT_TRUE(options.version);
    // An unknown option is named as such, even where a value would follow.
    EXPECT_FALSE(
        parseOptions({"--project", "P", "--title", "T", "g", "o", "--colour"}, options, error));
    EXPECT_EQ(error, "unknown option --colour");
    ASSERT_TRUE(parseOptions({"--project", "P", "--title", "T", "--image-format", "img", "g", "o"},
                             options, error));
    EXPECT_TRUE(options.images);
    EXPECT_EQ(options.imageFormat, "img");
}

TEST(ImageLabels, WithinEachFormatsRules) {
#ifdef _WIN32
    const std::string japanese = "\x83\x51\x81\x5B\x83\x80"; // "game" in katakana
#else
    const std::string japanese = "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0";
#endif
    const struct {
        std::string project;
        int disk;
        std::string iso;
        std::u16string joliet;
        std::string fat;
    } cases[] = {
        {"Project1", 1, "PROJECT1_DISK1", u"Project1 Disk 1", "PROJECT1_1"},
        {"ProjectLongName", 12, "PROJECTLONGNAME_DISK12", u"ProjectL Disk 12", "PROJECTL_12"},
        {"My Game-2", 3, "MYGAME2_DISK3", u"My Game-2 Disk 3", "MYGAME2_3"},
        {std::string(40, 'p'), 100, std::string(24, 'P') + "_DISK100", u"ppppppp Disk 100",
         "PPPPPPP_100"},
        {japanese, 2, "DISK2", u"\u30B2\u30FC\u30E0 Disk 2", "DISK2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isoLabel(c.project, c.disk), c.iso) << c.project;
        EXPECT_TRUE(jolietLabel(c.project, c.disk) == c.joliet) << c.project;
        EXPECT_EQ(fatLabel(c.project, c.disk), c.fat) << c.project;
    }
}

} // namespace
} // namespace mkdisks
