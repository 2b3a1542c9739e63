// Walking an archive's entries and decoding their data with the method table's decoders.
#pragma once

#include "ByteStream.h"
#include "Header.h"
#include "Methods.h"
#include "OutputWindow.h"

#include <map>
#include <memory>
#include <string>

namespace lha {

class ArchiveReader {
public:
    explicit ArchiveReader(Input& input);

    // Reads the next entry's header; `end` is set after the last one. NotArchive when the
    // archive has no first header; BrokenData when a header is malformed or the entry's
    // data runs past the end of the archive (`entry` then says which one).
    Status next(Entry& entry, bool& end);
    // Decodes the data of the entry last returned by next() into `sink` and checks its CRC.
    // Unsupported for unknown methods; BrokenData for bad data or a CRC mismatch.
    Status decode(const Entry& entry, OutputSink& sink);

    // What was wrong with the last header or data that failed.
    const char* problem() const { return problem_; }
    // How far into the archive the reader is, for progress.
    std::uint64_t position() const { return stream_.position(); }
    std::uint64_t size() const { return stream_.size(); }

private:
    ByteStream stream_;
    HeaderReader headers_;
    OutputWindow window_;
    std::map<std::string, std::unique_ptr<Decoder>, std::less<>> decoders_; // made on first use
    bool first_ = true;
    std::uint64_t nextHeader_ = 0;
    const char* problem_ = "";
};

} // namespace lha
