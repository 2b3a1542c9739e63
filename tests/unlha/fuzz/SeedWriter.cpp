// Writes the hand-made part of the fuzz seed corpus into the folder given as argument: archives
// of every header level and of the methods the peer tools cannot make, and raw decoder streams.
#include "ArchiveBuilder.h"

#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    using namespace lha::test;
    if (argc != 2) {
        std::cerr << "usage: unlha_seeds FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    const std::string text = "The quick brown fox jumps over the lazy dog. The quick brown fox! "
                             "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa 0123456789 0123456789\r\n";
    int count = 0;
    const auto write = [&](char mode, const std::string& bytes) {
        std::ofstream(folder + "/hand-" + std::to_string(count++), std::ios::binary)
            << mode << bytes;
    };

    const char* methods[] = {"-lh0-", "-lz4-", "-lh1-", "-lzs-", "-lz5-"};
    for (int level = 0; level <= 3; ++level) {
        std::vector<TestEntry> entries;
        for (const char* method : methods)
            entries.push_back(
                packedEntry(method, std::string(method + 1, 3) + ".txt", text, level));
        TestEntry folderEntry = storedEntry(level == 0 ? "dir\\" : "dir", "", level);
        folderEntry.method = "-lhd-";
        if (level > 0) folderEntry.directory = "dir\xFF";
        entries.push_back(folderEntry);
        write('\0', archive(entries));
    }
    TestEntry link = storedEntry("link|/etc", "", 2);
    link.method = "-lhd-";
    link.unixMode = 0120777;
    write('\0', archive({link, storedEntry("..\\up", "x", 0), storedEntry("CON.txt", "x", 1),
                         storedEntry("\x83\x5C\\\x95\x5C.txt", "x", 0)}));
    write('\0', "MZ self-extractor stub" + archive({packedEntry("-lz5-", "sfx.txt", text, 1)}));

    // Raw streams: mode byte, method index (see the fuzz target), three size bytes.
    const auto size = std::string("\x90\x00\x00", 3);
    for (const auto& [index, method] :
         {std::pair{2, "-lh1-"}, std::pair{8, "-lzs-"}, std::pair{9, "-lz5-"}})
        write('\1', std::string(1, static_cast<char>(index)) + size +
                        packedEntry(method, "", text).packed);
    // Round trips: mode byte, then the method and effort, then the file.
    for (const char packing : {'\0', '\1', '\2', '\x80', '\x82'})
        write('\2', std::string(1, packing) + text + text);
    return 0;
}
