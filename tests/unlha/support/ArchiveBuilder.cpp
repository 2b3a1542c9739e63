// Writing LHA headers for tests.
#include "ArchiveBuilder.h"

#include "Crc16.h"
#include "TestEncoders.h"

namespace lha::test {
namespace {

void put(std::string& out, std::uint64_t value, int width) {
    for (int k = 0; k < width; ++k)
        out += static_cast<char>(value >> (8 * k) & 0xFF);
}

void putAt(std::string& out, std::size_t at, std::uint64_t value, int width) {
    for (int k = 0; k < width; ++k)
        out[at + static_cast<std::size_t>(k)] = static_cast<char>(value >> (8 * k) & 0xFF);
}

struct Chain {
    std::string bytes;
    std::size_t firstSize = 0;             // size of the first element, 0 for none
    std::size_t crcAt = std::string::npos; // offset of the header CRC field in bytes
};

// Extended headers: type, payload, size of the next element in `width` bytes.
Chain chain(const TestEntry& e, int width) {
    std::vector<std::pair<std::uint8_t, std::string>> all;
    if (e.headerCrc) all.emplace_back(0x00, std::string(2, '\0'));
    if (e.level >= 2) all.emplace_back(0x01, e.name);
    if (!e.directory.empty()) all.emplace_back(0x02, e.directory);
    if (e.unixMode >= 0) {
        std::string mode;
        put(mode, static_cast<std::uint64_t>(e.unixMode), 2);
        all.emplace_back(0x50, mode);
    }
    all.insert(all.end(), e.extended.begin(), e.extended.end());

    Chain c;
    const auto sizeOf = [&](std::size_t i) {
        return 1 + all[i].second.size() + static_cast<std::size_t>(width);
    };
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].first == 0x00 && c.crcAt == std::string::npos) c.crcAt = c.bytes.size() + 1;
        c.bytes += static_cast<char>(all[i].first);
        c.bytes += all[i].second;
        put(c.bytes, i + 1 < all.size() ? sizeOf(i + 1) : 0, width);
    }
    c.firstSize = all.empty() ? 0 : sizeOf(0);
    return c;
}

std::string withHeaderCrc(std::string h, std::size_t crcAt) {
    if (crcAt != std::string::npos) putAt(h, crcAt, crcOf(h), 2);
    return h;
}

} // namespace

std::uint16_t crcOf(const std::string& data) {
    return crc16(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

TestEntry storedEntry(const std::string& name, const std::string& content, int level) {
    return packedEntry("-lh0-", name, content, level);
}

TestEntry packedEntry(const std::string& method, const std::string& name,
                      const std::string& content, int level) {
    TestEntry e;
    e.method = method;
    e.level = level;
    e.name = name;
    e.packed = encode(method, content);
    e.originalSize = content.size();
    e.crc = crcOf(content);
    return e;
}

std::string header(const TestEntry& e) {
    std::string h;
    if (e.level <= 1) {
        const Chain c = e.level == 1 ? chain(e, 2) : Chain{};
        h += std::string(2, '\0'); // size and checksum, filled in last
        h += e.method;
        put(h, e.packed.size() + c.bytes.size(), 4); // level 1 counts the extended headers
        put(h, e.originalSize, 4);
        put(h, e.time, 4);
        h += static_cast<char>(0x20);
        h += static_cast<char>(e.level);
        h += static_cast<char>(e.name.size());
        h += e.name;
        put(h, e.crc, 2);
        if (e.level == 1) {
            h += static_cast<char>(e.os);
            put(h, c.firstSize, 2);
        } else if (e.unixMode >= 0) {
            h += "U";
            h += '\0';
            put(h, e.time, 4);
            put(h, static_cast<std::uint64_t>(e.unixMode), 2);
        }
        h[0] = static_cast<char>(h.size() - 2);
        unsigned sum = 0;
        for (std::size_t i = 2; i < h.size(); ++i)
            sum += static_cast<std::uint8_t>(h[i]);
        h[1] = static_cast<char>(sum & 0xFF);
        const std::size_t base = h.size();
        return withHeaderCrc(h + c.bytes, c.crcAt == std::string::npos ? c.crcAt : base + c.crcAt);
    }
    const int width = e.level == 2 ? 2 : 4;
    const Chain c = chain(e, width);
    const std::size_t fixed = e.level == 2 ? 26 : 32;
    put(h, e.level == 2 ? fixed + c.bytes.size() + static_cast<std::size_t>(e.padding) : 4, 2);
    h += e.method;
    put(h, e.packed.size(), 4);
    put(h, e.originalSize, 4);
    put(h, e.time, 4);
    h += static_cast<char>(0x20);
    h += static_cast<char>(e.level);
    put(h, e.crc, 2);
    h += static_cast<char>(e.os);
    if (e.level == 3) put(h, fixed + c.bytes.size(), 4);
    put(h, c.firstSize, width);
    h += c.bytes;
    h.append(static_cast<std::size_t>(e.padding), '\0');
    return withHeaderCrc(h, c.crcAt == std::string::npos ? c.crcAt : fixed + c.crcAt);
}

std::string archive(const std::vector<TestEntry>& entries, bool endMarker) {
    std::string out;
    for (const TestEntry& e : entries)
        out += header(e) + e.packed;
    if (endMarker) out += '\0';
    return out;
}

} // namespace lha::test
