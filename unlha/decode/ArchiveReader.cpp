// Walking an archive and decoding its entries.
#include "ArchiveReader.h"

#include "BitReader.h"

namespace lha {

ArchiveReader::ArchiveReader(Input& input) : stream_(input) {}

Status ArchiveReader::next(Entry& entry, bool& end) {
    stream_.seek(nextHeader_);
    const Status status =
        first_ ? headers_.readFirst(stream_, entry, end) : headers_.read(stream_, entry, end);
    first_ = false;
    problem_ = headers_.problem();
    if (status != Status::Ok || end) return status;
    if (entry.packedSize > stream_.size() - entry.dataOffset) {
        problem_ = "archive ends inside this entry's data";
        return Status::BrokenData;
    }
    nextHeader_ = entry.dataOffset + entry.packedSize;
    return Status::Ok;
}

Status ArchiveReader::decode(const Entry& entry, OutputSink& sink) {
    const Method* method = findMethod(entry.method);
    if (method == nullptr) {
        problem_ = "unsupported method";
        return Status::Unsupported;
    }
    auto found = decoders_.find(entry.method);
    if (found == decoders_.end()) found = decoders_.emplace(entry.method, method->make()).first;

    if (const Status status = window_.start(method->window, entry.originalSize, sink);
        status != Status::Ok)
        return status;
    stream_.seek(entry.dataOffset);
    BitReader in(stream_, entry.packedSize);
    Status status = found->second->decode(in, window_);
    const Status written = window_.drain();
    if (status == Status::BrokenData) problem_ = "corrupt or truncated compressed data";
    if (status == Status::Ok) status = written;
    if (status != Status::Ok) return status;
    if (entry.hasCrc && window_.crc() != entry.crc) {
        problem_ = "CRC mismatch";
        return Status::BrokenData;
    }
    return Status::Ok;
}

} // namespace lha
