// The arguments as the C runtime gives them, and the program's folder from /proc/self/exe.
#include "Invocation.h"

#include <climits>
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
    return program.substr(0, program.rfind('/'));
}

} // namespace mkdisks
