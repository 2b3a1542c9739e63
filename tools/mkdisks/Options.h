// The command line of mkdisks:
//   mkdisks --project NAME --title TITLE [--disk-size SIZE] [--disks N]
//           [--method lh5|lh6|lh7] [--best] [--programs DIR] [--no-verify]
//           [--images] [--image-format iso|img] GAME_FOLDER OUT_FOLDER
#pragma once

#include "Encoder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mkdisks {

extern const char* const kUsage;
constexpr const char* kVersion = "mkdisks 1.0";

struct Options {
    std::string project;        // the game's folder and archive name, as given
    std::string title;          // the title Setup shows, as given
    std::uint64_t diskSize = 0; // what a disk holds; 0: no limit
    int disks = 0;              // disks asked for; 0: as many as needed
    std::string method = "-lh5-";
    lha::Encoder::Effort effort = lha::Encoder::Effort::Normal;
    std::string programs; // folder of Setup.exe and UNLHA32.DLL; empty: mkdisks' own
    bool verify = true;   // decode the set once written
    bool help = false;    // -h, --help: show the usage and do nothing else
    bool version = false; // --version: show the version and do nothing else
    std::string game;     // the game folder
    std::string out;      // where the disk folders go

    bool images = false;     // also an image of each disk in OUT_FOLDER
    std::string imageFormat; // "iso" or "img"; empty: by the disk size
};

// False with `error` set when the arguments do not fit the syntax.
bool parseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error);

} // namespace mkdisks
