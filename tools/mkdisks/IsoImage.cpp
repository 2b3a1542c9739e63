// Writing an ISO 9660 image with Joliet names.
#include "IsoImage.h"

#include "WideName.h"

#include <algorithm>
#include <cstdio>

namespace mkdisks {
namespace {

using lha::Status;

constexpr std::uint64_t kBlock = 2048;
constexpr std::uint32_t kSystemArea = 16;
constexpr std::uint32_t kPadding = 150;
constexpr std::uint8_t kDirectory = 0x02;
// After the system area: three descriptors, then four one-sector path tables.
constexpr std::uint32_t kPathTables = kSystemArea + 3;
constexpr std::uint32_t kFirstDirectory = kPathTables + 4;
constexpr std::size_t kRootRecord = 34;

void putBoth32(std::uint8_t* at, std::uint32_t value) {
    putLittle(at, value, 4);
    putBig(at + 4, value, 4);
}

void putBoth16(std::uint8_t* at, std::uint16_t value) {
    putLittle(at, value, 2);
    putBig(at + 2, value, 2);
}

// The 7-byte time of a directory record, in UTC.
void putRecordTime(std::uint8_t* at, std::int64_t seconds) {
    const std::tm t = utcTime(seconds);
    const int fields[] = {t.tm_year, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, 0};
    for (int i = 0; i < 7; ++i)
        at[i] = static_cast<std::uint8_t>(fields[i]);
}

// The 17-byte time of a volume descriptor, in UTC; zeros for none.
void putVolumeTime(std::uint8_t* at, std::int64_t seconds) {
    char text[64] = "0000000000000000";
    if (seconds != 0) {
        const std::tm t = utcTime(seconds);
        std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d00", (t.tm_year + 1900) % 10000,
                      t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    }
    std::copy(text, text + 16, at);
    at[16] = 0;
}

struct Record {
    Bytes id;
    std::uint32_t sector = 0;
    std::uint32_t size = 0;
    std::int64_t modified = 0;
    std::uint8_t flags = 0;
};

Bytes encodeRecord(const Record& record) {
    const std::size_t length = 33 + record.id.size() + (record.id.size() % 2 == 0 ? 1 : 0);
    Bytes bytes(length);
    bytes[0] = static_cast<std::uint8_t>(length);
    putBoth32(&bytes[2], record.sector);
    putBoth32(&bytes[10], record.size);
    putRecordTime(&bytes[18], record.modified);
    bytes[25] = record.flags;
    putBoth16(&bytes[28], 1);
    bytes[32] = static_cast<std::uint8_t>(record.id.size());
    std::copy(record.id.begin(), record.id.end(), bytes.begin() + 33);
    return bytes;
}

// A directory's records laid into whole sectors, none crossing a sector's end.
Bytes layDirectory(const std::vector<Record>& records) {
    Bytes sectors;
    for (const Record& record : records) {
        const Bytes bytes = encodeRecord(record);
        if (sectors.size() % kBlock + bytes.size() > kBlock)
            sectors.resize(units(sectors.size(), kBlock) * kBlock);
        sectors.insert(sectors.end(), bytes.begin(), bytes.end());
    }
    sectors.resize(units(sectors.size(), kBlock) * kBlock);
    return sectors;
}

Bytes ucs2(const std::u16string& text) {
    Bytes bytes(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i)
        putBig(&bytes[2 * i], text[i], 2);
    return bytes;
}

// The root's own entries and the files' records in id order.
std::vector<Record> directory(std::vector<Record> files, std::uint32_t sector,
                              std::uint32_t sectors, std::int64_t modified) {
    std::sort(files.begin(), files.end(), [](const Record& a, const Record& b) {
        return std::lexicographical_compare(a.id.begin(), a.id.end(), b.id.begin(), b.id.end());
    });
    const Record self{
        {0x00}, sector, sectors * static_cast<std::uint32_t>(kBlock), modified, kDirectory};
    Record parent = self;
    parent.id = {0x01};
    files.insert(files.begin(), {self, parent});
    return files;
}

class IsoWriter {
public:
    IsoWriter(const IsoLabels& labels, const std::vector<ImageFile>& files)
        : labels_(labels), files_(files), modified_(newest(files)) {}

    bool layOut(std::string& error);
    Status write(lha::FileSystem& fileSystem, lha::OutputSink& out) const;

private:
    Bytes descriptor(std::uint8_t type) const;
    Bytes pathTable(std::uint32_t directory, bool bigEndian) const;

    const IsoLabels& labels_;
    const std::vector<ImageFile>& files_;
    std::int64_t modified_;
    std::vector<Record> primary_; // the files' records in the files' order
    std::vector<Record> joliet_;
    Bytes primaryDirectory_;
    Bytes jolietDirectory_;
    std::uint32_t jolietSector_ = 0;
    std::uint32_t dataSector_ = 0;
    std::uint32_t volumeSectors_ = 0;
};

bool IsoWriter::layOut(std::string& error) {
    const std::vector<std::string> names = shortNames(files_, {'_', false});
    for (std::size_t i = 0; i < files_.size(); ++i) {
        const ImageFile& file = files_[i];
        if (file.size > kIsoMaxFile) {
            error = file.name + " of " + std::to_string(file.size) +
                    " bytes: a CD image holds files of at most 4 GiB - 1 bytes";
            return false;
        }
        std::u16string wide;
        if (!toUtf16(file.name, wide) || wide.size() > kJolietMaxName) {
            error = file.name + ": a CD image's Joliet names are Unicode of at most " +
                    std::to_string(kJolietMaxName) + " characters";
            return false;
        }
        const std::string id = names[i] + ";1";
        primary_.push_back({Bytes(id.begin(), id.end()), 0, static_cast<std::uint32_t>(file.size),
                            file.modified, 0});
        joliet_.push_back(primary_.back());
        joliet_.back().id = ucs2(wide);
    }
    // The directories' sizes do not depend on where the files go: lay them out twice.
    for (int pass = 0; pass < 2; ++pass) {
        const auto sectorsOf = [](const Bytes& b) {
            return static_cast<std::uint32_t>(b.size() / kBlock);
        };
        jolietSector_ = kFirstDirectory + sectorsOf(primaryDirectory_);
        dataSector_ = jolietSector_ + sectorsOf(jolietDirectory_);
        std::uint32_t next = dataSector_;
        for (std::size_t i = 0; i < files_.size(); ++i) {
            primary_[i].sector = joliet_[i].sector = next;
            next += static_cast<std::uint32_t>(units(files_[i].size, kBlock));
        }
        primaryDirectory_ = layDirectory(
            directory(primary_, kFirstDirectory, sectorsOf(primaryDirectory_), modified_));
        jolietDirectory_ =
            layDirectory(directory(joliet_, jolietSector_, sectorsOf(jolietDirectory_), modified_));
        volumeSectors_ = static_cast<std::uint32_t>(units(next, 16) * 16 + kPadding);
    }
    return true;
}

Bytes IsoWriter::descriptor(std::uint8_t type) const {
    const bool joliet = type == 2;
    Bytes d(kBlock, 0);
    d[0] = type;
    std::copy_n("CD001", 5, &d[1]);
    d[6] = 1;
    // Text fields: blanks in the tree's own characters.
    const auto blank = [&](std::size_t offset, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            d[offset + i] = joliet && i % 2 == 0 ? 0x00 : 0x20;
    };
    blank(8, 32);
    blank(40, 32);
    for (std::size_t field = 0; field < 4; ++field)
        blank(190 + 128 * field, 128);
    for (std::size_t field = 0; field < 3; ++field)
        blank(702 + 37 * field, 37);
    if (joliet) {
        const Bytes label = ucs2(labels_.joliet.substr(0, kJolietMaxLabel));
        std::copy(label.begin(), label.end(), &d[40]);
        std::copy_n("%/E", 3, &d[88]);
    } else {
        const std::string& label = labels_.primary;
        std::copy_n(label.begin(), std::min(label.size(), kIsoMaxLabel), &d[40]);
    }
    putBoth32(&d[80], volumeSectors_);
    putBoth16(&d[120], 1);
    putBoth16(&d[124], 1);
    putBoth16(&d[128], static_cast<std::uint16_t>(kBlock));
    const std::uint32_t tables = kPathTables + (joliet ? 2 : 0);
    putBoth32(&d[132], static_cast<std::uint32_t>(pathTable(0, false).size()));
    putLittle(&d[140], tables, 4);
    putBig(&d[148], tables + 1, 4);
    const Bytes& root = joliet ? jolietDirectory_ : primaryDirectory_;
    std::copy_n(root.begin(), kRootRecord, &d[156]);
    putVolumeTime(&d[813], modified_);
    putVolumeTime(&d[830], modified_);
    putVolumeTime(&d[847], 0);
    putVolumeTime(&d[864], 0);
    d[881] = 1;
    return d;
}

Bytes IsoWriter::pathTable(std::uint32_t directory, bool bigEndian) const {
    Bytes table{1, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00};
    (bigEndian ? putBig : putLittle)(&table[2], directory, 4);
    (bigEndian ? putBig : putLittle)(&table[6], 1, 2);
    return table;
}

Status IsoWriter::write(lha::FileSystem& fileSystem, lha::OutputSink& out) const {
    Bytes head(kSystemArea * kBlock, 0);
    const auto append = [&](const Bytes& bytes, std::size_t sectorSize) {
        head.insert(head.end(), bytes.begin(), bytes.end());
        head.resize(units(head.size(), sectorSize) * sectorSize);
    };
    append(descriptor(1), kBlock);
    append(descriptor(2), kBlock);
    Bytes terminator(kBlock, 0);
    terminator[0] = 255;
    std::copy_n("CD001", 5, &terminator[1]);
    terminator[6] = 1;
    append(terminator, kBlock);
    for (const std::uint32_t directory : {kFirstDirectory, jolietSector_})
        for (const bool bigEndian : {false, true})
            append(pathTable(directory, bigEndian), kBlock);
    append(primaryDirectory_, kBlock);
    append(jolietDirectory_, kBlock);
    if (const Status status = out.write(head.data(), head.size()); status != Status::Ok)
        return status;
    for (const ImageFile& file : files_)
        if (const Status status = copyPadded(fileSystem, file, out, kBlock); status != Status::Ok)
            return status;
    std::uint64_t written = dataSector_;
    for (const ImageFile& file : files_)
        written += units(file.size, kBlock);
    return writeZeros(out, (volumeSectors_ - written) * kBlock);
}

} // namespace

Status writeIsoImage(const IsoLabels& labels, const std::vector<ImageFile>& files,
                     lha::FileSystem& fileSystem, lha::OutputSink& out, std::string& error) {
    IsoWriter writer(labels, files);
    if (!writer.layOut(error)) return Status::BadCommand;
    return writer.write(fileSystem, out);
}

} // namespace mkdisks
