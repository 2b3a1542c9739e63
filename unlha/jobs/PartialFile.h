// The temporary name a file is written under beside its final one until it is whole.
#pragma once

#include "Status.h"

#include <functional>
#include <string>

namespace lha {

// Makes a temporary file beside `path`: `<path>.unlha-part`, or when something is there
// already `<path>.unlha-part2`, `<path>.unlha-part3`, ... so that no file of the user's is
// ever taken over. `create` must create only where nothing is, setting `existed` when
// something was. `partial` receives the name made. WriteFailed when no name could be made.
Status createPartial(const std::string& path,
                     const std::function<Status(const std::string& name, bool& existed)>& create,
                     std::string& partial);

} // namespace lha
