// The arguments as the C runtime gives them, and the programs' folder from /proc/self/exe.
#include "Invocation.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace mkdisks {

std::vector<std::string> commandArguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

std::string programFolder() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    const std::string program(path, static_cast<std::size_t>(length));
    const std::string own = program.substr(0, program.rfind('/'));
    // The native build of a tree (build/native/bin) takes the Windows programs of the same tree
    // (build/win32/bin) when none are beside it.
    char sibling[PATH_MAX];
    if (::access((own + "/Setup.exe").c_str(), F_OK) != 0 &&
        ::realpath((own + "/../../win32/bin").c_str(), sibling) != nullptr &&
        ::access((std::string(sibling) + "/Setup.exe").c_str(), F_OK) == 0)
        return sibling;
    return own;
}

} // namespace mkdisks
