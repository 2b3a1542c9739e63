// The shell file operation component.
#include "FileOperation.h"

#include "Errors.h"
#include "Forms.h"
#include "InstallerStrings.h"
#include "PathRules.h"

#include <shellapi.h>

namespace {

constexpr uint16_t kShellFlags[] = {FOF_MULTIDESTFILES, FOF_SILENT,    FOF_RENAMEONCOLLISION,
                                    FOF_NOCONFIRMATION, FOF_ALLOWUNDO, FOF_FILESONLY,
                                    FOF_NOCONFIRMMKDIR, FOF_NOERRORUI};

// The shell copies each path, and each target path it forms in a destination folder, into a
// buffer of MAX_PATH characters without checking the length: a longer one overwrites its stack.
// Such a path never reaches it.
void CheckPathLengths(unsigned operation, const std::vector<std::string>& from,
                      const std::vector<std::string>& to) {
    const auto check = [](const std::string& path) {
        if (path.size() >= MAX_PATH) throw Exception(FormatResString(SPathTooLong, path));
    };
    for (const std::string& source : from)
        check(source);
    for (const std::string& destination : to) {
        check(destination);
        if (operation == FO_COPY || operation == FO_MOVE)
            for (const std::string& source : from)
                check(AddBackslash(destination) + ExtractFileName(source));
    }
}

} // namespace

std::string BuildPathList(const std::vector<std::string>& list) {
    std::string buffer;
    for (const std::string& entry : list) {
        buffer += entry;
        buffer += '\0';
    }
    buffer += '\0';
    return buffer;
}

uint16_t ShellFlags(TFileOperationOptions options) {
    uint16_t flags = 0;
    for (unsigned ordinal = 0; ordinal < 8; ++ordinal)
        if (options & (1u << ordinal)) flags |= kShellFlags[ordinal];
    return flags;
}

bool TFileOperation::Execute(unsigned operation) {
    CheckPathLengths(operation, FromList, ToList);
    // c_str() adds the NUL that ends the buffer after the list's own last NUL.
    const std::string from = BuildPathList(FromList);
    const std::string to = BuildPathList(ToList);
    SHFILEOPSTRUCTA request{};
    request.wFunc = operation;
    request.pFrom = from.c_str();
    request.pTo = to.c_str();
    auto* owner = dynamic_cast<TWinControl*>(Owner());
    request.hwnd = owner ? owner->Handle() : Application->Handle();
    request.fFlags = ShellFlags(Options);
    SHFileOperationA(&request);
    return !request.fAnyOperationsAborted;
}

bool TFileOperation::Copy() {
    return Execute(FO_COPY);
}
