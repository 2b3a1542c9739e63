// Choosing and creating a free temporary name.
#include "PartialFile.h"

namespace lha {

Status createPartial(const std::string& path,
                     const std::function<Status(const std::string& name, bool& existed)>& create,
                     std::string& partial) {
    // Enough for any leftovers of earlier runs; beyond that something is wrong with the folder.
    constexpr int kTries = 100;
    for (int i = 1; i <= kTries; ++i) {
        partial = path + ".unlha-part" + (i == 1 ? std::string() : std::to_string(i));
        bool existed = false;
        if (create(partial, existed) == Status::Ok) return Status::Ok;
        if (!existed) break;
    }
    return Status::WriteFailed;
}

} // namespace lha
