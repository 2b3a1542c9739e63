// Reading LHA headers of levels 0 to 3 and their extended headers.
#include "Header.h"

#include "Crc16.h"
#include "Methods.h"

#include <algorithm>
#include <cstring>

namespace lha {
namespace {

// No real header comes near this; it bounds what a lying size field can make us read.
constexpr std::size_t kMaxHeader = 1024 * 1024;
// Bytes every header has up to and including the level-0 name length at offset 21.
constexpr std::size_t kCommonPart = 22;
// How much of the junk before the first header is searched at a time.
constexpr std::size_t kScanBlock = 64 * 1024;

std::uint32_t u16(const std::uint8_t* p) {
    return p[0] | (std::uint32_t(p[1]) << 8);
}
std::uint32_t u32(const std::uint8_t* p) {
    return u16(p) | (u16(p + 2) << 16);
}
std::uint64_t u64(const std::uint8_t* p) {
    return u32(p) | (std::uint64_t(u32(p + 4)) << 32);
}

// "-lh5-", "-lzs-", "-pm2-": a dash, three characters, a dash.
bool looksLikeMethod(const std::uint8_t* p) {
    return p[0] == '-' && p[4] == '-';
}

std::string textUpToNul(const std::uint8_t* p, std::size_t size) {
    const auto* nul = static_cast<const std::uint8_t*>(std::memchr(p, 0, size));
    return std::string(reinterpret_cast<const char*>(p),
                       nul ? static_cast<std::size_t>(nul - p) : size);
}

} // namespace

Status HeaderReader::broken(const char* problem) {
    problem_ = problem;
    return Status::BrokenData;
}

Status HeaderReader::extend(ByteStream& stream, std::size_t size) {
    const std::size_t have = header_.size();
    if (size <= have) return Status::Ok;
    if (size > kMaxHeader) return broken("header too large");
    header_.resize(size);
    std::size_t got = 0;
    if (const Status status = stream.read(header_.data() + have, size - have, got);
        status != Status::Ok)
        return status;
    if (got < size - have) return broken("archive ends inside a header");
    return Status::Ok;
}

Status HeaderReader::checkHeaderCrc(bool required) {
    if (crcField_ == 0) return required ? broken("no header CRC") : Status::Ok;
    return headerCrcHolds() ? Status::Ok : broken("header CRC mismatch");
}

bool HeaderReader::headerCrcHolds() {
    std::uint8_t* const field = header_.data() + crcField_;
    const std::uint32_t stored = u16(field);
    field[0] = field[1] = 0;
    const std::uint32_t actual = crc16(header_.data(), header_.size());
    field[0] = static_cast<std::uint8_t>(stored);
    field[1] = static_cast<std::uint8_t>(stored >> 8);
    return stored == actual;
}

void HeaderReader::applyExtended(std::uint8_t type, std::size_t at, std::size_t size,
                                 Entry& entry) {
    const std::uint8_t* const p = header_.data() + at;
    switch (type) {
    case kHeaderCrc:
        if (size >= 2) crcField_ = at;
        break;
    case kFileName: entry.name = textUpToNul(p, size); break;
    case kDirectory: entry.directory = textUpToNul(p, size); break;
    case kAttributes:
        if (size >= 2) entry.attributes = static_cast<std::uint16_t>(u16(p));
        break;
    case kWindowsTimes: // creation, last write and last access time; the last write is the one we
                        // keep
        if (size >= 24 && u64(p + 8) != 0) entry.modified = {Timestamp::Kind::Windows, u64(p + 8)};
        break;
    case kSizes64:
        if (size >= 16) {
            entry.packedSize = u64(p);
            entry.originalSize = u64(p + 8);
            sizes64_ = true;
        }
        break;
    case kUnixMode:
        if (size >= 2) entry.unixMode = static_cast<int>(u16(p));
        break;
    case kUnixTime:
        if (size >= 4 && u32(p) != 0 && entry.modified.kind != Timestamp::Kind::Windows)
            entry.modified = {Timestamp::Kind::Unix, u32(p)};
        break;
    default: break; // comments, owners, Unicode names and others are not needed here
    }
}

Status HeaderReader::readChain(ByteStream& stream, std::size_t start, std::uint32_t next, int width,
                               Entry& entry, std::size_t& end) {
    std::size_t at = start;
    while (next != 0) {
        // Each element: type, payload, size of the next element; its size covers all three.
        if (next < static_cast<std::uint32_t>(1 + width)) return broken("bad extended header size");
        if (next > kMaxHeader - at) return broken("header too large");
        if (const Status status = extend(stream, at + next); status != Status::Ok) return status;
        applyExtended(header_[at], at + 1, next - 1 - width, entry);
        const std::uint8_t* const field = header_.data() + at + next - width;
        at += next;
        next = width == 2 ? u16(field) : u32(field);
    }
    end = at;
    return Status::Ok;
}

Status HeaderReader::parseLevel01(ByteStream& stream, Entry& entry) {
    const std::size_t size = std::size_t{header_[0]} + 2;
    if (size < kCommonPart) return broken("header too short");
    if (const Status status = extend(stream, size); status != Status::Ok) return status;
    const std::uint8_t* h = header_.data();
    unsigned sum = 0;
    for (std::size_t i = 2; i < size; ++i)
        sum += h[i];
    if ((sum & 0xFF) != h[1]) return broken("header checksum mismatch");

    const std::size_t nameLength = h[21];
    const std::size_t after = kCommonPart + nameLength; // first byte after the name
    if (after > size) return broken("name longer than its header");
    // Amiga writers put a comment after a NUL in the name field.
    entry.name = textUpToNul(h + kCommonPart, nameLength);
    entry.packedSize = u32(h + 7);
    entry.originalSize = u32(h + 11);
    if (u32(h + 15) != 0) entry.modified = {Timestamp::Kind::Dos, u32(h + 15)};
    entry.attributes = h[19];

    if (entry.level == 0) {
        // The oldest writers end the header right after the name, without a CRC.
        entry.hasCrc = size >= after + 2;
        if (entry.hasCrc) entry.crc = static_cast<std::uint16_t>(u16(h + after));
        // Optional area: OS ID; Unix writers add a version byte, mtime, mode, uid and gid.
        const std::size_t area = after + 2;
        if (size > area) entry.os = h[area];
        if (entry.os == 'U' && size >= area + 6 && u32(h + area + 2) != 0)
            entry.modified = {Timestamp::Kind::Unix, u32(h + area + 2)};
        if (entry.os == 'U' && size >= area + 8)
            entry.unixMode = static_cast<int>(u16(h + area + 6));
        return Status::Ok;
    }

    if (size < after + 5) return broken("header too short");
    entry.crc = static_cast<std::uint16_t>(u16(h + after));
    entry.os = h[after + 2];
    std::size_t end = 0;
    if (const Status status = readChain(stream, size, u16(h + size - 2), 2, entry, end);
        status != Status::Ok)
        return status;
    if (!sizes64_) {
        // The size field counts the extended headers as well as the data.
        const std::uint64_t skip = u32(header_.data() + 7);
        if (end - size > skip) return broken("extended headers larger than the entry");
        entry.packedSize = skip - (end - size);
    }
    return checkHeaderCrc(false);
}

// Offsets 7 to 23, alike in levels 2 and 3.
std::uint16_t impliedAttributes(std::string_view method) {
    return method == kDirectoryMethod ? 0x10 : 0x20;
}

void HeaderReader::readLevel23Fields(const std::uint8_t* h, Entry& entry) {
    entry.attributes = impliedAttributes(entry.method);
    entry.packedSize = u32(h + 7);
    entry.originalSize = u32(h + 11);
    if (u32(h + 15) != 0) entry.modified = {Timestamp::Kind::Unix, u32(h + 15)};
    entry.crc = static_cast<std::uint16_t>(u16(h + 21));
    entry.os = h[23];
}

Status HeaderReader::parseLevel2(ByteStream& stream, Entry& entry, bool candidate) {
    if (const Status status = extend(stream, kLevel2FixedPart); status != Status::Ok) return status;
    const std::size_t total = u16(header_.data());
    if (const Status status = extend(stream, total); status != Status::Ok) return status;
    const std::uint8_t* h = header_.data();
    readLevel23Fields(h, entry);
    // When the total size is smaller than the chain, the chain's end is where the data starts.
    std::size_t end = 0;
    if (const Status status =
            readChain(stream, kLevel2FixedPart, u16(h + kLevel2FixedPart - 2), 2, entry, end);
        status != Status::Ok)
        return status;
    return checkHeaderCrc(candidate);
}

Status HeaderReader::parseLevel3(ByteStream& stream, Entry& entry, bool candidate) {
    constexpr std::size_t kFixed = 32;
    if (u16(header_.data()) != 4) return broken("bad level-3 size width");
    if (const Status status = extend(stream, kFixed); status != Status::Ok) return status;
    const std::uint32_t total = u32(header_.data() + 24);
    if (total > kMaxHeader) return broken("header too large");
    if (const Status status = extend(stream, total); status != Status::Ok) return status;
    const std::uint8_t* h = header_.data();
    readLevel23Fields(h, entry);
    std::size_t end = 0;
    if (const Status status = readChain(stream, kFixed, u32(h + 28), 4, entry, end);
        status != Status::Ok)
        return status;
    return checkHeaderCrc(candidate);
}

Status HeaderReader::parse(ByteStream& stream, Entry& entry, bool& end, bool candidate) {
    end = false;
    entry = Entry{};
    entry.headerOffset = stream.position();
    header_.clear();
    crcField_ = 0;
    sizes64_ = false;

    header_.resize(1);
    std::size_t got = 0;
    if (const Status status = stream.read(header_.data(), 1, got); status != Status::Ok)
        return status;
    // The end marker is a zero byte; plain end of file is accepted as well.
    if (got == 0 || header_[0] == 0) {
        end = true;
        return Status::Ok;
    }
    if (const Status status = extend(stream, kCommonPart); status != Status::Ok) return status;
    if (!looksLikeMethod(header_.data() + 2))
        return broken("no method ID where a header should be");
    entry.method.assign(reinterpret_cast<const char*>(header_.data()) + 2, 5);
    entry.level = header_[20];

    Status status = Status::Ok;
    switch (entry.level) {
    case 0:
    case 1: status = parseLevel01(stream, entry); break;
    case 2: status = parseLevel2(stream, entry, candidate); break;
    case 3: status = parseLevel3(stream, entry, candidate); break;
    default: return broken("unknown header level");
    }
    entry.dataOffset = stream.position();
    return status;
}

Status HeaderReader::read(ByteStream& stream, Entry& entry, bool& end) {
    return parse(stream, entry, end, false);
}

Status HeaderReader::readFirst(ByteStream& stream, Entry& entry, bool& end) {
    const std::uint64_t start = stream.position();
    const Status status = parse(stream, entry, end, false);
    if (status == Status::ReadFailed || (status == Status::Ok && !end)) return status;
    // An archive of nothing but the end marker.
    if (status == Status::Ok && stream.size() - start == 1) return status;
    // What looks like a header but does not hold up is a damaged first entry, not junk to
    // skip: skipping it would lose the entry without a word.
    if (status == Status::BrokenData && header_.size() >= kCommonPart &&
        looksLikeMethod(header_.data() + 2) && header_[20] <= 3)
        return status;

    std::vector<std::uint8_t> block(kScanBlock + kCommonPart);
    for (std::uint64_t at = start;;) {
        stream.seek(at);
        std::size_t got = 0;
        if (const Status read = stream.read(block.data(), block.size(), got); read != Status::Ok)
            return read;
        if (got < kCommonPart) break;
        for (std::size_t i = 0; i + kCommonPart <= got; ++i) {
            const std::uint8_t* p = block.data() + i;
            if (at + i == start || !looksLikeMethod(p + 2) || p[20] > 3) continue;
            stream.seek(at + i);
            const Status candidate = parse(stream, entry, end, true);
            if (candidate == Status::ReadFailed) return candidate;
            if (candidate == Status::Ok && !end) return candidate;
        }
        at += got - kCommonPart + 1;
    }
    end = false;
    problem_ = "no LHA header found";
    return Status::NotArchive;
}

} // namespace lha
