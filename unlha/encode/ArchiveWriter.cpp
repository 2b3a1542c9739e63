// Level-2 headers and the choice between packed and stored data. A file's header is written
// first with what is known, and again once its data is written and its sizes and CRC are.
#include "ArchiveWriter.h"

#include "Crc16.h"
#include "Header.h"
#include "Methods.h"

#include <algorithm>

namespace lha {
namespace {

constexpr std::string_view kStoredMethod = "-lh0-";
// OS ID of the header: MS-DOS, the system whose attributes and code page the entries carry.
constexpr std::uint8_t kOsId = 'M';
// A level-2 header's size field holds 16 bits.
constexpr std::size_t kMaxHeader = 0xFFFF;
constexpr std::size_t kCopyBuffer = 1 << 20;

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

// Seconds since 1970 as the header's 32-bit field holds them; 0 (unset) when out of range.
std::uint32_t unixTime(const Timestamp& modified) {
    std::int64_t seconds = 0;
    std::uint32_t nanoseconds = 0;
    if (!modified.toUnix(seconds, nanoseconds) || seconds < 0 || seconds > 0xFFFFFFFFll) return 0;
    return static_cast<std::uint32_t>(seconds);
}

} // namespace

ArchiveWriter::ArchiveWriter(ArchiveFile& file, Encoder& encoder, std::string method)
    : file_(file), encoder_(encoder), method_(std::move(method)) {}

Status ArchiveWriter::writeHeader(const WrittenEntry& entry, const Timestamp& modified,
                                  std::uint16_t attributes) {
    std::vector<std::uint8_t>& h = header_;
    h.assign(kLevel2FixedPart, 0);
    std::copy(entry.method.begin(), entry.method.end(), h.begin() + 2);
    put32(h, 7, static_cast<std::uint32_t>(entry.packedSize));
    put32(h, 11, static_cast<std::uint32_t>(entry.originalSize));
    put32(h, 15, unixTime(modified));
    h[19] = 0x20;
    h[20] = 2;
    put16(h, 21, entry.crc);
    h[23] = kOsId;

    // Each extended header: type, payload, then the size of the next one (0 after the last).
    // The size of the first one sits at the end of the fixed part.
    std::size_t sizeField = kLevel2FixedPart - 2;
    const auto extended = [&](std::uint8_t type, const std::string& payload) {
        put16(h, sizeField, static_cast<std::uint32_t>(payload.size() + 3));
        h.push_back(type);
        h.insert(h.end(), payload.begin(), payload.end());
        sizeField = h.size();
        h.push_back(0);
        h.push_back(0);
    };
    const std::string noCrc(2, '\0');
    extended(kHeaderCrc, noCrc);
    const std::size_t crcField = kLevel2FixedPart + 1;
    extended(kFileName, entry.name);
    if (!entry.directory.empty()) extended(kDirectory, entry.directory);
    if (attributes != impliedAttributes(entry.method))
        extended(kAttributes, std::string{static_cast<char>(attributes & 0xFF),
                                          static_cast<char>(attributes >> 8)});
    // A total size with a low byte of 0 could be taken for the end marker; one byte more in
    // the CRC's extended header avoids that, where a pad byte after the chain would upset
    // some readers.
    if ((h.size() & 0xFF) == 0) {
        h.insert(h.begin() + static_cast<std::ptrdiff_t>(crcField + 2), 0);
        put16(h, kLevel2FixedPart - 2, 6);
    }
    if (h.size() > kMaxHeader) return Status::Unsupported;
    put16(h, 0, static_cast<std::uint32_t>(h.size()));
    put16(h, crcField, crc16(h.data(), h.size()));
    return file_.write(h.data(), h.size());
}

Status ArchiveWriter::addFolder(const std::vector<std::string>& folders, const Timestamp& modified,
                                std::uint16_t attributes) {
    WrittenEntry entry;
    entry.method = kDirectoryMethod;
    for (const std::string& folder : folders)
        entry.directory += folder + static_cast<char>(kFolderSeparator);
    if (const Status status = writeHeader(entry, modified, attributes); status != Status::Ok)
        return status;
    position_ += header_.size();
    entries_.push_back(entry);
    return Status::Ok;
}

Status ArchiveWriter::store(Input& input, std::uint64_t size, std::uint16_t& crc) {
    copy_.resize(kCopyBuffer);
    Crc16 sum;
    for (std::uint64_t done = 0; done < size;) {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kCopyBuffer, size - done));
        std::size_t got = 0;
        if (const Status status = input.readAt(done, copy_.data(), want, got); status != Status::Ok)
            return status;
        if (got < want) return Status::ReadFailed;
        sum.update(copy_.data(), got);
        if (const Status status = file_.write(copy_.data(), got); status != Status::Ok)
            return status;
        done += got;
    }
    crc = sum.value();
    return Status::Ok;
}

Status ArchiveWriter::addFile(const std::vector<std::string>& folders, const std::string& name,
                              Input& input, const Timestamp& modified, std::uint16_t attributes) {
    WrittenEntry entry;
    entry.method = method_;
    for (const std::string& folder : folders)
        entry.directory += folder + static_cast<char>(kFolderSeparator);
    entry.name = name;
    entry.originalSize = input.size();
    if (entry.originalSize > kMaxFileSize) return Status::Unsupported;

    const std::uint64_t start = position_;
    if (const Status status = writeHeader(entry, modified, attributes); status != Status::Ok)
        return status;
    const std::uint64_t dataStart = start + header_.size();
    Encoder::Result packed;
    if (entry.originalSize > 0) {
        if (const Status status =
                encoder_.encode(input, entry.originalSize, entry.originalSize, file_, packed);
            status != Status::Ok)
            return status;
    }
    if (packed.packed) {
        entry.packedSize = packed.size;
        entry.crc = packed.crc;
    } else {
        entry.method = kStoredMethod;
        entry.packedSize = entry.originalSize;
        if (const Status status = file_.seek(dataStart); status != Status::Ok) return status;
        if (const Status status = store(input, entry.originalSize, entry.crc); status != Status::Ok)
            return status;
    }
    const std::uint64_t end = dataStart + entry.packedSize;
    if (const Status status = file_.seek(start); status != Status::Ok) return status;
    if (const Status status = writeHeader(entry, modified, attributes); status != Status::Ok)
        return status;
    if (const Status status = file_.seek(end); status != Status::Ok) return status;
    position_ = end;
    entries_.push_back(entry);
    return Status::Ok;
}

Status ArchiveWriter::finish() {
    const std::uint8_t endMarker = 0;
    if (const Status status = file_.write(&endMarker, 1); status != Status::Ok) return status;
    ++position_;
    return file_.finish();
}

} // namespace lha
