// The parts the ISO 9660 and FAT12 image writers share.
#include "ImageWriting.h"

#include <algorithm>
#include <set>

namespace mkdisks {
namespace {

constexpr std::size_t kBuffer = 1 << 16;

char shortChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 'a' + 'A');
    if ((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_') return c;
    return '_';
}

// The part in 8.3 characters; `lost` set when a character had none.
std::string shortPart(const std::string& part, bool& lost) {
    std::string mapped;
    for (const char c : part) {
        mapped += shortChar(c);
        lost = lost || (mapped.back() == '_' && c != '_');
    }
    return mapped;
}

} // namespace

void putLittle(std::uint8_t* at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void putBig(std::uint8_t* at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * (bytes - 1 - i)));
}

std::vector<std::string> shortNames(const std::vector<ImageFile>& files, ShortNameRule rule) {
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (const ImageFile& file : files) {
        const std::size_t dot = file.name.rfind('.');
        bool cut = false;
        const std::string base = shortPart(file.name.substr(0, dot), cut);
        const std::string extension =
            dot == std::string::npos ? "" : shortPart(file.name.substr(dot + 1), cut);
        cut = cut || base.size() > 8 || extension.size() > 3;
        std::string suffix;
        if (!extension.empty()) suffix = '.' + extension.substr(0, 3);
        std::string name = base.substr(0, 8) + suffix;
        for (int number = 1; name.size() == suffix.size() || (rule.markCut && cut && number == 1) ||
                             taken.count(name) != 0;
             ++number) {
            std::string tail(1, rule.mark);
            tail += std::to_string(number);
            name = base.substr(0, 8 - tail.size()) + tail + suffix;
        }
        taken.insert(name);
        names.push_back(name);
    }
    return names;
}

std::int64_t newest(const std::vector<ImageFile>& files) {
    std::int64_t latest = 0;
    for (const ImageFile& file : files)
        latest = std::max(latest, file.modified);
    return latest;
}

std::tm utcTime(std::int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    const std::tm* fields = std::gmtime(&t);
    return fields != nullptr ? *fields : std::tm{};
}

std::tm localTime(std::int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    const std::tm* fields = std::localtime(&t);
    return fields != nullptr ? *fields : utcTime(seconds);
}

lha::Status writeZeros(lha::OutputSink& out, std::uint64_t count) {
    static const std::uint8_t zeros[kBuffer] = {};
    while (count > 0) {
        const auto now = static_cast<std::size_t>(std::min<std::uint64_t>(count, kBuffer));
        if (const lha::Status status = out.write(zeros, now); status != lha::Status::Ok)
            return status;
        count -= now;
    }
    return lha::Status::Ok;
}

lha::Status copyPadded(lha::FileSystem& fileSystem, const ImageFile& file, lha::OutputSink& out,
                       std::uint64_t unit) {
    std::unique_ptr<lha::Input> input;
    if (fileSystem.openArchive(file.path, input) != lha::Status::Ok || input->size() != file.size)
        return lha::Status::ReadFailed;
    std::vector<std::uint8_t> buffer(kBuffer);
    for (std::uint64_t done = 0; done < file.size;) {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kBuffer, file.size - done));
        std::size_t got = 0;
        if (input->readAt(done, buffer.data(), want, got) != lha::Status::Ok || got != want)
            return lha::Status::ReadFailed;
        if (const lha::Status status = out.write(buffer.data(), got); status != lha::Status::Ok)
            return status;
        done += got;
    }
    return writeZeros(out, units(file.size, unit) * unit - file.size);
}

} // namespace mkdisks
