// Writing a FAT12 floppy image.
#include "FatImage.h"

#include "WideName.h"

#include <algorithm>

namespace mkdisks {

const std::array<FloppyFormat, 4> kFloppyFormats = {{
    {"1.44M", 2880, 1, 224, 9, 0xF0, 18, 2},
    {"1.2M", 2400, 1, 224, 7, 0xF9, 15, 2},
    {"720K", 1440, 2, 112, 3, 0xF9, 9, 2},
    {"360K", 720, 2, 112, 2, 0xFD, 9, 2},
}};

namespace {

using lha::Status;

constexpr std::size_t kSector = 512;
constexpr std::size_t kEntry = 32;
constexpr std::size_t kLongNamePart = 13;
constexpr std::size_t kMaxLongName = 255;
constexpr std::uint8_t kArchive = 0x20;
constexpr std::uint8_t kLabel = 0x08;
constexpr std::uint8_t kLongName = 0x0F;
constexpr std::uint16_t kEndOfChain = 0xFFF;

// The boot code prints this, waits for a key and asks the BIOS to start from the next device.
constexpr std::uint8_t kBootCode[] = {
    0x31, 0xC0,       // xor ax, ax
    0x8E, 0xD8,       // mov ds, ax
    0xBE, 0x56, 0x7C, // mov si, 0x7C56 (the message)
    0xAC,             // lodsb
    0x84, 0xC0,       // test al, al
    0x74, 0x06,       // jz +6
    0xB4, 0x0E,       // mov ah, 0x0E
    0xCD, 0x10,       // int 0x10 (teletype output)
    0xEB, 0xF5,       // jmp back to lodsb
    0x31, 0xC0,       // xor ax, ax
    0xCD, 0x16,       // int 0x16 (wait for a key)
    0xCD, 0x19,       // int 0x19 (boot from the next device)
};
constexpr char kBootMessage[] = "\r\nNot a startup disk: remove it and press a key.\r\n";
constexpr std::size_t kBootCodeAt = 0x3E;

std::size_t rootSectors(const FloppyFormat& format) {
    return format.rootEntries * kEntry / kSector;
}

std::uint16_t dosDate(const std::tm& t) {
    return static_cast<std::uint16_t>((t.tm_year - 80) << 9 | (t.tm_mon + 1) << 5 | t.tm_mday);
}

std::uint16_t dosTime(const std::tm& t) {
    return static_cast<std::uint16_t>(t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec / 2);
}

// Local calendar time within what FAT dates can say (1980 to 2107).
std::tm fatTime(std::int64_t seconds) {
    std::tm t = localTime(seconds);
    if (t.tm_year >= 80 && t.tm_year <= 207) return t;
    const bool early = t.tm_year < 80;
    t = std::tm{};
    t.tm_year = early ? 80 : 207;
    t.tm_mon = early ? 0 : 11;
    t.tm_mday = early ? 1 : 31;
    t.tm_hour = early ? 0 : 23;
    t.tm_min = t.tm_sec = early ? 0 : 59;
    return t;
}

void putTimes(std::uint8_t* entry, std::int64_t seconds) {
    const std::tm t = fatTime(seconds);
    entry[13] = static_cast<std::uint8_t>(t.tm_sec % 2 * 100);
    putLittle(entry + 14, dosTime(t), 2);
    putLittle(entry + 16, dosDate(t), 2);
    putLittle(entry + 18, dosDate(t), 2);
    putLittle(entry + 22, dosTime(t), 2);
    putLittle(entry + 24, dosDate(t), 2);
}

// The 11 name bytes of an 8.3 name "NAME.EXT".
std::string paddedName(const std::string& name) {
    const std::size_t dot = name.find('.');
    std::string padded = name.substr(0, dot);
    padded.resize(8, ' ');
    if (dot != std::string::npos) padded += name.substr(dot + 1);
    padded.resize(11, ' ');
    return padded;
}

std::uint8_t checksum(const std::string& padded) {
    std::uint8_t sum = 0;
    for (const char c : padded)
        sum =
            static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + static_cast<std::uint8_t>(c));
    return sum;
}

// The long-name entries of `name`, in the order they precede its 8.3 entry.
Bytes longNameEntries(const std::u16string& name, std::uint8_t sum) {
    const std::size_t parts = units(name.size(), kLongNamePart);
    Bytes entries(parts * kEntry, 0);
    static constexpr std::size_t kSlots[kLongNamePart] = {1,  3,  5,  7,  9,  14, 16,
                                                          18, 20, 22, 24, 28, 30};
    for (std::size_t part = 0; part < parts; ++part) {
        std::uint8_t* entry = &entries[(parts - 1 - part) * kEntry];
        entry[0] = static_cast<std::uint8_t>((part + 1) | (part + 1 == parts ? 0x40 : 0));
        entry[11] = kLongName;
        entry[13] = sum;
        for (std::size_t k = 0; k < kLongNamePart; ++k) {
            const std::size_t at = part * kLongNamePart + k;
            const std::uint16_t unit = at < name.size() ? name[at] : at == name.size() ? 0 : 0xFFFF;
            putLittle(entry + kSlots[k], unit, 2);
        }
    }
    return entries;
}

// Root entries a file takes: its 8.3 entry and any long-name parts.
std::size_t entriesOf(const ImageFile& file, const std::string& shortName) {
    std::u16string wide;
    if (file.name == shortName || !toUtf16(file.name, wide)) return 1;
    return 1 + units(wide.size(), kLongNamePart);
}

std::uint64_t clustersOf(const FloppyFormat& format, const std::vector<ImageFile>& files) {
    std::uint64_t clusters = 0;
    for (const ImageFile& file : files)
        clusters += units(file.size, format.clusterBytes());
    return clusters;
}

std::size_t rootEntriesOf(const std::vector<ImageFile>& files,
                          const std::vector<std::string>& names) {
    std::size_t entries = 1; // the volume label
    for (std::size_t i = 0; i < files.size(); ++i)
        entries += entriesOf(files[i], names[i]);
    return entries;
}

constexpr ShortNameRule kShortNames{'~', true};

class FatWriter {
public:
    FatWriter(const FloppyFormat& format, const std::string& label,
              const std::vector<ImageFile>& files)
        : format_(format), label_(label), files_(files), modified_(newest(files)) {}

    bool layOut(std::string& error);
    Status write(lha::FileSystem& fileSystem, lha::OutputSink& out) const;

private:
    Bytes bootSector() const;
    void setCluster(Bytes& fat, std::uint32_t cluster, std::uint16_t value) const;

    const FloppyFormat& format_;
    std::string label_;
    const std::vector<ImageFile>& files_;
    std::int64_t modified_;
    Bytes fat_;
    Bytes root_;
};

void FatWriter::setCluster(Bytes& fat, std::uint32_t cluster, std::uint16_t value) const {
    const std::size_t at = cluster * 3 / 2;
    if (cluster % 2 == 0) {
        fat[at] = static_cast<std::uint8_t>(value);
        fat[at + 1] = static_cast<std::uint8_t>((fat[at + 1] & 0xF0) | (value >> 8));
    } else {
        fat[at] = static_cast<std::uint8_t>((fat[at] & 0x0F) | (value << 4));
        fat[at + 1] = static_cast<std::uint8_t>(value >> 4);
    }
}

bool FatWriter::layOut(std::string& error) {
    const std::vector<std::string> names = shortNames(files_, kShortNames);
    if (!fitsFloppy(format_, files_)) {
        error = std::string("the files take more than a ") + format_.name + " floppy holds";
        return false;
    }
    fat_.assign(format_.fatSectors * kSector, 0);
    setCluster(fat_, 0, static_cast<std::uint16_t>(0xF00 | format_.media));
    setCluster(fat_, 1, kEndOfChain);
    root_.assign(format_.rootEntries * kEntry, 0);
    std::string label = label_.substr(0, kFatMaxLabel);
    label.resize(kFatMaxLabel, ' ');
    std::copy(label.begin(), label.end(), root_.begin());
    root_[11] = kLabel;
    putTimes(&root_[0], modified_);
    std::size_t entry = 1;
    std::uint32_t next = 2;
    for (std::size_t i = 0; i < files_.size(); ++i) {
        const ImageFile& file = files_[i];
        const std::string padded = paddedName(names[i]);
        if (file.name != names[i]) {
            std::u16string wide;
            if (!toUtf16(file.name, wide) || wide.size() > kMaxLongName) {
                error = file.name + ": a floppy image's long names are Unicode of at most 255 "
                                    "characters";
                return false;
            }
            const Bytes parts = longNameEntries(wide, checksum(padded));
            std::copy(parts.begin(), parts.end(), &root_[entry * kEntry]);
            entry += parts.size() / kEntry;
        }
        std::uint8_t* at = &root_[entry++ * kEntry];
        std::copy(padded.begin(), padded.end(), at);
        at[11] = kArchive;
        putTimes(at, file.modified);
        const auto count = static_cast<std::uint32_t>(units(file.size, format_.clusterBytes()));
        putLittle(at + 26, count == 0 ? 0 : next, 2);
        putLittle(at + 28, file.size, 4);
        for (std::uint32_t k = 0; k < count; ++k, ++next)
            setCluster(fat_, next,
                       static_cast<std::uint16_t>(k + 1 == count ? kEndOfChain : next + 1));
    }
    return true;
}

Bytes FatWriter::bootSector() const {
    Bytes boot(kSector, 0);
    const std::uint8_t jump[] = {0xEB, 0x3C, 0x90};
    std::copy(std::begin(jump), std::end(jump), boot.begin());
    std::copy_n("MKDISKS ", 8, &boot[3]);
    putLittle(&boot[11], kSector, 2);
    boot[13] = format_.sectorsPerCluster;
    putLittle(&boot[14], 1, 2);
    boot[16] = 2;
    putLittle(&boot[17], format_.rootEntries, 2);
    putLittle(&boot[19], format_.sectors, 2);
    boot[21] = format_.media;
    putLittle(&boot[22], format_.fatSectors, 2);
    putLittle(&boot[24], format_.sectorsPerTrack, 2);
    putLittle(&boot[26], format_.heads, 2);
    boot[38] = 0x29;
    // A serial number from the set's time, as formatting takes one from the clock.
    const std::tm t = fatTime(modified_);
    putLittle(&boot[39], static_cast<std::uint32_t>(dosDate(t)) << 16 | dosTime(t), 4);
    std::copy_n(root_.begin(), kFatMaxLabel, &boot[43]);
    std::copy_n("FAT12   ", 8, &boot[54]);
    std::copy(std::begin(kBootCode), std::end(kBootCode), &boot[kBootCodeAt]);
    std::copy(std::begin(kBootMessage), std::end(kBootMessage),
              &boot[kBootCodeAt + sizeof kBootCode]);
    boot[510] = 0x55;
    boot[511] = 0xAA;
    return boot;
}

Status FatWriter::write(lha::FileSystem& fileSystem, lha::OutputSink& out) const {
    Bytes head = bootSector();
    for (int copy = 0; copy < 2; ++copy)
        head.insert(head.end(), fat_.begin(), fat_.end());
    head.insert(head.end(), root_.begin(), root_.end());
    if (const Status status = out.write(head.data(), head.size()); status != Status::Ok)
        return status;
    for (const ImageFile& file : files_)
        if (const Status status = copyPadded(fileSystem, file, out, format_.clusterBytes());
            status != Status::Ok)
            return status;
    return writeZeros(out,
                      format_.dataBytes() - clustersOf(format_, files_) * format_.clusterBytes());
}

} // namespace

std::uint64_t FloppyFormat::dataBytes() const {
    return (sectors - 1 - 2u * fatSectors - rootSectors(*this)) * std::uint64_t{kSector};
}

const FloppyFormat* floppyOfSize(std::uint64_t bytes) {
    for (const FloppyFormat& format : kFloppyFormats)
        if (format.dataBytes() == bytes) return &format;
    return nullptr;
}

bool fitsFloppy(const FloppyFormat& format, const std::vector<ImageFile>& files) {
    return clustersOf(format, files) * format.clusterBytes() <= format.dataBytes() &&
           rootEntriesOf(files, shortNames(files, kShortNames)) <= format.rootEntries;
}

Status writeFatImage(const FloppyFormat& format, const std::string& label,
                     const std::vector<ImageFile>& files, lha::FileSystem& fileSystem,
                     lha::OutputSink& out, std::string& error) {
    FatWriter writer(format, label, files);
    if (!writer.layOut(error)) return Status::BadCommand;
    return writer.write(fileSystem, out);
}

} // namespace mkdisks
