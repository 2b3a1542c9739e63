// Writing the disk set's images and choosing their format and labels.
#include "DiskImages.h"

#include "FatImage.h"
#include "IsoImage.h"
#include "WideName.h"

#include <algorithm>
#include <cctype>

namespace mkdisks {
namespace {

using lha::Status;

// The project name's letters, digits and _ in upper case, cut to leave room for the separator
// and the disk number; "DISK" and the number when it has none of them.
std::string asciiLabel(const std::string& project, int disk, const std::string& separator,
                       std::size_t max) {
    std::u16string wide;
    toUtf16(project, wide);
    std::string base;
    for (const char16_t c : wide) {
        if (c < 0x80 && (std::isalnum(static_cast<unsigned char>(c)) || c == '_'))
            base += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    std::string suffix = base.empty() ? "DISK" : separator;
    suffix += std::to_string(disk);
    return base.substr(0, max - suffix.size()) + suffix;
}

// The floppy format of the images; null for CD images.
const FloppyFormat* floppyFormat(const Options& options) {
    if (options.imageFormat == "iso") return nullptr;
    if (const FloppyFormat* format = floppyOfSize(options.diskSize)) return format;
    // Asked for floppies of another size: the smallest that takes every disk, chosen later.
    return options.imageFormat == "img" ? &kFloppyFormats.front() : nullptr;
}

// The files of a disk folder, as an image holds them.
Status listDisk(lha::FileSystem& fileSystem, const std::string& folder,
                std::vector<ImageFile>& files) {
    std::vector<lha::FolderItem> items;
    if (const Status status = fileSystem.listFolder(folder, items); status != Status::Ok)
        return status;
    files.clear();
    for (const lha::FolderItem& item : items) {
        if (item.kind != lha::FolderItem::Kind::File) continue;
        std::int64_t seconds = 0;
        std::uint32_t nanoseconds = 0;
        item.modified.toUnix(seconds, nanoseconds);
        files.push_back({item.name, fileSystem.join(folder, item.name), item.size, seconds});
    }
    std::sort(files.begin(), files.end(),
              [](const ImageFile& a, const ImageFile& b) { return a.name < b.name; });
    return Status::Ok;
}

class ImageRun {
public:
    ImageRun(const Options& options, lha::FileSystem& fileSystem, lha::Observer& observer)
        : options_(options), fs_(fileSystem), observer_(observer) {}
    ~ImageRun() {
        for (const std::string& path : made_)
            fs_.removeFile(path);
    }

    Status go(int disks);

private:
    Status fail(Status status, const std::string& line) {
        observer_.error(line);
        return status;
    }
    Status writeImage(int disk, const std::vector<ImageFile>& files, const FloppyFormat* floppy);

    const Options& options_;
    lha::FileSystem& fs_;
    lha::Observer& observer_;
    std::vector<std::string> made_; // the images so far; removed unless all are made
};

Status ImageRun::writeImage(int disk, const std::vector<ImageFile>& files,
                            const FloppyFormat* floppy) {
    const std::string name =
        options_.project + "-disk" + std::to_string(disk) + (floppy ? ".img" : ".iso");
    const std::string path = fs_.join(options_.out, name);
    const std::string temporary = path + ".part";
    std::unique_ptr<lha::OutputFile> file;
    bool existed = false;
    if (fs_.createFile(temporary, file, existed) != Status::Ok)
        return fail(Status::WriteFailed, temporary + ": cannot create the file");
    std::string error;
    Status status =
        floppy
            ? writeFatImage(*floppy, fatLabel(options_.project, disk), files, fs_, *file, error)
            : writeIsoImage({isoLabel(options_.project, disk), jolietLabel(options_.project, disk)},
                            files, fs_, *file, error);
    if (status == Status::Ok) status = file->finish({});
    file.reset();
    if (status == Status::Ok && fs_.replaceFile(temporary, path) == Status::Ok) {
        made_.push_back(path);
        observer_.report(path + ": " + (floppy ? std::string(floppy->name) + " floppy" : "CD") +
                         " image of disk " + std::to_string(disk));
        return Status::Ok;
    }
    fs_.removeFile(temporary);
    if (status == Status::BadCommand) return fail(status, path + ": " + error);
    if (status == Status::ReadFailed)
        return fail(status, path + ": a file of disk " + std::to_string(disk) +
                                " cannot be read as it was listed");
    return fail(Status::WriteFailed, path + ": cannot write the image");
}

Status ImageRun::go(int disks) {
    std::vector<std::vector<ImageFile>> contents(static_cast<std::size_t>(disks));
    for (int disk = 1; disk <= disks; ++disk) {
        const std::string folder = fs_.join(options_.out, "disk" + std::to_string(disk));
        if (listDisk(fs_, folder, contents[static_cast<std::size_t>(disk - 1)]) != Status::Ok)
            return fail(Status::ReadFailed, folder + ": cannot read the disk folder");
    }
    const FloppyFormat* floppy = floppyFormat(options_);
    if (floppy != nullptr && floppyOfSize(options_.diskSize) == nullptr) {
        // The smallest floppy that takes every disk; the largest reports what does not fit.
        for (auto format = kFloppyFormats.rbegin(); format != kFloppyFormats.rend(); ++format) {
            if (std::all_of(contents.begin(), contents.end(),
                            [&](const auto& files) { return fitsFloppy(*format, files); })) {
                floppy = &*format;
                break;
            }
        }
    }
    observer_.report("writing the images");
    for (int disk = 1; disk <= disks; ++disk) {
        const Status status =
            writeImage(disk, contents[static_cast<std::size_t>(disk - 1)], floppy);
        if (status != Status::Ok) return status;
    }
    made_.clear();
    return Status::Ok;
}

} // namespace

std::string refusedImages(const Options& options, std::uint64_t largestFile) {
    if (floppyFormat(options) != nullptr) return {};
    if (largestFile > kIsoMaxFile)
        return "a file of " + std::to_string(largestFile) +
               " bytes is too large for a CD image, whose files hold at most 4 GiB - 1 bytes; "
               "choose a --disk-size of 4G or less";
    // The longest name on a disk is NAME.001 (or NAME.lzh).
    std::u16string wide;
    if (toUtf16(options.project, wide) && wide.size() + 4 > kJolietMaxName)
        return "project name '" + options.project + "' is too long for a CD image, whose names " +
               "hold at most " + std::to_string(kJolietMaxName) + " characters with .001";
    return {};
}

Status writeDiskImages(const Options& options, int disks, lha::FileSystem& fileSystem,
                       lha::Observer& observer) {
    return ImageRun(options, fileSystem, observer).go(disks);
}

std::string isoLabel(const std::string& project, int disk) {
    return asciiLabel(project, disk, "_DISK", kIsoMaxLabel);
}

std::u16string jolietLabel(const std::string& project, int disk) {
    std::u16string wide;
    if (!toUtf16(project, wide)) {
        const std::string ascii = isoLabel(project, disk);
        return std::u16string(ascii.begin(), ascii.end());
    }
    const std::string suffix = " Disk " + std::to_string(disk);
    wide = wide.substr(0, kJolietMaxLabel - suffix.size());
    // A character outside the basic plane is not cut in half.
    if (!wide.empty() && wide.back() >= 0xD800 && wide.back() < 0xDC00) wide.pop_back();
    return wide + std::u16string(suffix.begin(), suffix.end());
}

std::string fatLabel(const std::string& project, int disk) {
    return asciiLabel(project, disk, "_", kFatMaxLabel);
}

} // namespace mkdisks
