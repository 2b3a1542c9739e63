// Host files and trees for tests.
#include "HostFiles.h"

#include <fstream>
#include <sstream>

namespace lha::test {

namespace fs = std::filesystem;

std::string quote(const fs::path& path) {
    // Built by appending: GCC 12 warns of a false overlap for "'" + text + "'".
    std::string quoted(1, '\'');
    quoted += path.string();
    quoted += '\'';
    return quoted;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void writeFile(const fs::path& path, const std::string& contents) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

Tree readTree(const fs::path& root, bool withFolders) {
    Tree tree;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(item.path(), root).generic_string();
        if (item.is_directory()) {
            if (withFolders) tree[relative + "/"] = "";
        } else if (item.is_regular_file()) {
            tree[relative] = readFile(item.path());
        }
    }
    return tree;
}

} // namespace lha::test
