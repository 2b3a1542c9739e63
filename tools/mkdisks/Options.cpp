// Parsing the command line of mkdisks.
#include "Options.h"

#include "DiskSet.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace mkdisks {

const char* const kUsage =
    "usage: mkdisks --project NAME --title TITLE [--disk-size SIZE | --disks N]\n"
    "               [--method lh5|lh6|lh7] [--best] [--programs DIR] [--no-verify]\n"
    "               [--images] [--image-format iso|img] GAME_FOLDER OUT_FOLDER\n"
    "Makes the disk set that Setup installs GAME_FOLDER from: OUT_FOLDER/disk1/ with Setup.exe,\n"
    "Setup.ini, UNLHA32.DLL and NAME.lzh, or the volumes NAME.001, NAME.002 ... on disk1/,\n"
    "disk2/ ... when the game does not fit one disk (--disk-size) or is to be spread (--disks).\n"
    "OUT_FOLDER must be new or empty. A run that fails or is interrupted (Ctrl-C) removes what\n"
    "it wrote, and OUT_FOLDER when it made it.\n"
    "  --project NAME     the game's folder, archive and registry name\n"
    "  --title TITLE      the title Setup shows, and the Start-menu shortcut's name\n"
    "  --disk-size SIZE   what a disk holds: bytes, or with K, M (1024-based) or G (10^9);\n"
    "                     1.44M, 1.2M, 720K and 360K are floppies (1.44M: 1,457,664 bytes)\n"
    "  --disks N          spread the game evenly over N disks (of at most SIZE)\n"
    "  --method M         lh5 (the default), lh6 or lh7\n"
    "  --best             pack smaller, more slowly\n"
    "  --programs DIR     where Setup.exe and UNLHA32.DLL are (default: beside mkdisks)\n"
    "  --no-verify        do not decode the set once it is written\n"
    "  --images           also write NAME-disk1.iso ... (CD images), or NAME-disk1.img ...\n"
    "                     (floppy images) when SIZE is a floppy's, into OUT_FOLDER\n"
    "  --image-format F   iso or img, whatever the disk size (implies --images)\n"
    "  --                 the end of the options, before a folder whose name begins with --\n"
    "  -h, --help         this help;  --version  the version\n"
    "Exit codes: 0 done, 1 not an archive, 2 broken data, 3 unsupported method, 4 cannot write,\n"
    "5 refused path, 6 interrupted, 7 names, options or sizes that cannot make a set, 8 cannot "
    "read.\n";

bool parseOptions(const std::vector<std::string>& arguments, Options& options, std::string& error) {
    options = Options{};
    std::vector<std::string> paths;
    bool haveProject = false;
    bool haveTitle = false;
    bool optionsEnd = false; // after "--" every argument is a folder, even one named "--x"
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnd && (argument == "--help" || argument == "-h")) {
            options.help = true;
            return true;
        }
        if (!optionsEnd && argument == "--") {
            optionsEnd = true;
            continue;
        }
        if (optionsEnd || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            paths.push_back(argument);
            continue;
        }
        if (argument == "--version") {
            options.version = true;
            return true;
        }
        if (argument == "--best") {
            options.effort = lha::Encoder::Effort::Best;
            continue;
        }
        if (argument == "--no-verify") {
            options.verify = false;
            continue;
        }
        if (argument == "--images") {
            options.images = true;
            continue;
        }
        static constexpr std::string_view kWithValue[] = {
            "--project", "--title",    "--disk-size",   "--disks",
            "--method",  "--programs", "--image-format"};
        if (std::find(std::begin(kWithValue), std::end(kWithValue), argument) ==
            std::end(kWithValue)) {
            error = "unknown option " + argument;
            return false;
        }
        if (i + 1 == arguments.size()) {
            error = argument + " needs a value";
            return false;
        }
        const std::string& value = arguments[++i];
        if (argument == "--project") {
            options.project = value;
            haveProject = true;
        } else if (argument == "--title") {
            options.title = value;
            haveTitle = true;
        } else if (argument == "--disk-size") {
            if (!parseDiskSize(value, options.diskSize)) {
                error = "disk size '" + value + "' is not a size such as 1457664, 1.44M or 650M";
                return false;
            }
        } else if (argument == "--disks") {
            const auto [end, problem] =
                std::from_chars(value.data(), value.data() + value.size(), options.disks);
            if (problem != std::errc() || end != value.data() + value.size() || options.disks < 1 ||
                options.disks > 999) {
                error = "disk count '" + value + "' is not a number from 1 to 999";
                return false;
            }
        } else if (argument == "--method") {
            options.method = "-" + value + "-";
            if (!lha::canEncode(options.method)) {
                error = "method '" + value + "' is not lh5, lh6 or lh7";
                return false;
            }
        } else if (argument == "--image-format") {
            if (value != "iso" && value != "img") {
                error = "image format '" + value + "' is not iso or img";
                return false;
            }
            options.imageFormat = value;
            options.images = true;
        } else {
            options.programs = value;
        }
    }
    if (!haveProject || !haveTitle) {
        error = "--project and --title are needed";
        return false;
    }
    if (paths.size() != 2 || paths[0].empty() || paths[1].empty()) {
        error = "a game folder and an output folder are needed";
        return false;
    }
    options.game = paths[0];
    options.out = paths[1];
    return true;
}

} // namespace mkdisks
