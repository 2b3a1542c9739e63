// Where a path leads, as one spelling: the check that the disk set stays out of the game
// folder compares these.
#pragma once

#include <string>

namespace mkdisks {

// `path` from the root, without "." and ".." and doubled separators, whether it exists or not;
// on POSIX the links of the part that exists are followed.
std::string fullPath(const std::string& path);

} // namespace mkdisks
