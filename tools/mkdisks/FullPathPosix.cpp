// Full paths from realpath(), for a path that does not exist yet from its deepest existing folder.
#include "FullPath.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace mkdisks {

std::string fullPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.empty() ? "." : path.c_str(), resolved) != nullptr) return resolved;
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::size_t slash = trimmed.rfind('/');
    const std::string parent = slash == std::string::npos ? "." : trimmed.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    std::string full = fullPath(parent);
    if (name == "..") return full.substr(0, std::max<std::size_t>(full.rfind('/'), 1));
    if (name.empty() || name == ".") return full;
    return full == "/" ? full + name : full + '/' + name;
}

} // namespace mkdisks
