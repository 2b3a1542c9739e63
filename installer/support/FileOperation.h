// TFileOperation: one shell file operation (copy, move, delete, rename) over lists of source
// and destination paths, with the shell's own progress window, confirmations and error boxes.
#pragma once
#include "Classes.h"

#include <cstdint>
#include <string>
#include <vector>

enum TFileOperationOption : uint8_t {
    foMultiDestFiles,
    foSilent,
    foRenameOnCollision,
    foNoConfirmation,
    foAllowUndo,
    foFilesOnly,
    foNoConfirmMkdir,
    foNoErrorUI,
};
// A set of options: bit n stands for the option with ordinal n.
using TFileOperationOptions = uint8_t;
constexpr TFileOperationOptions OptionSet(TFileOperationOption option) {
    return 1u << option;
}

// The shell's list form: every entry followed by a NUL, and one more NUL at the end.
std::string BuildPathList(const std::vector<std::string>& list);
// The shell's flag word for a set of options.
uint16_t ShellFlags(TFileOperationOptions options);

class TFileOperation : public TComponent {
public:
    explicit TFileOperation(TComponent* AOwner) : TComponent(AOwner) {}

    std::vector<std::string> FromList; // the source paths
    std::vector<std::string> ToList;   // the destination paths
    TFileOperationOptions Options = 0;

    void SetFrom(const std::string& path) { FromList = {path}; }
    void SetTo(const std::string& path) { ToList = {path}; }
    // Runs the shell operation (FO_MOVE, FO_COPY, FO_DELETE, FO_RENAME) over the two lists;
    // false when it was aborted, by the user's Cancel or by the shell. A path of MAX_PATH
    // characters or more, given or formed in a destination folder, raises an error instead.
    virtual bool Execute(unsigned operation);
    bool Copy();
};
