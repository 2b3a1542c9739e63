// Files and folder trees on the host's file system, for the tests that run real programs.
#pragma once
#include <filesystem>
#include <map>
#include <string>

namespace lha::test {

// Relative path (with "/" separators) -> contents; a folder's path ends in "/" and is empty.
using Tree = std::map<std::string, std::string>;

// A path quoted for the POSIX shell.
std::string quote(const std::filesystem::path& path);
std::string readFile(const std::filesystem::path& path);
// Writes the file, making its folders first.
void writeFile(const std::filesystem::path& path, const std::string& contents);
// Everything below root; folders only when asked for.
Tree readTree(const std::filesystem::path& root, bool withFolders = true);

} // namespace lha::test
