// The steps of making a disk set, each reporting its own failure.
#include "MakeDisks.h"

#include "DiskImages.h"
#include "DiskSet.h"
#include "FullPath.h"
#include "JoinedInput.h"
#include "Methods.h"
#include "PackJob.h"
#include "TrackedFileSystem.h"

#include <algorithm>
#include <cctype>

namespace mkdisks {
namespace {

using lha::FileSystem;
using lha::FolderItem;
using lha::Status;

constexpr const char* kSetup = "Setup.exe";
constexpr const char* kLibrary = "UNLHA32.DLL";
constexpr const char* kDescription = "Setup.ini";
constexpr const char* kRuntime = "LUM_RT.exe";
constexpr std::size_t kCopyBuffer = 1 << 20;

bool sameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// A file of the folder listing, found whatever the case of its name.
const FolderItem* findFile(const std::vector<FolderItem>& items, const std::string& name) {
    const auto found = std::find_if(items.begin(), items.end(), [&](const FolderItem& item) {
        return item.kind == FolderItem::Kind::File && sameName(item.name, name);
    });
    return found == items.end() ? nullptr : &*found;
}

std::string diskFolder(const std::string& out, const FileSystem& fileSystem, int disk) {
    return fileSystem.join(out, "disk" + std::to_string(disk));
}

class Run {
public:
    Run(const Options& options, FileSystem& fileSystem, lha::Observer& observer)
        : options_(options), fs_(fileSystem), observer_(observer) {}
    Status go();

private:
    Status fail(Status status, const std::string& line) {
        observer_.error(line);
        return status;
    }
    Status checkNames();
    Status findPrograms();
    Status checkFolders();
    Status plan();
    // The sizes that decide the volumes, for an archive of `archive` bytes.
    DiskSetSize setSize(std::uint64_t archive) const;
    // Moves the archive onto the first disk, or splits it into the disks' volumes.
    Status placeArchive();
    Status copyRange(lha::Input& input, std::uint64_t offset, std::uint64_t size,
                     const std::string& to, const lha::Timestamp& modified);
    Status copyFile(const std::string& from, const std::string& to, const lha::Timestamp& modified);
    Status writeDescription();
    Status verify();

    const Options& options_;
    FileSystem& fs_;
    lha::Observer& observer_;
    // The names in code page 932 for the description; files are named as the system names
    // them, which is how Setup's code page 932 names reach them under Windows and Wine.
    std::string project_;
    std::string title_;
    FolderItem setup_; // the programs as listed
    FolderItem library_;
    std::string archive_; // the whole archive: in OUT_FOLDER, then on the first disk
    std::vector<lha::WrittenEntry> written_;
    std::vector<std::uint64_t> volumes_; // empty: the archive stays whole
    std::vector<std::uint8_t> buffer_;
};

Status Run::checkNames() {
    if (!fs_.toArchiveName(options_.project, project_))
        return fail(Status::BadCommand,
                    "project name '" + options_.project + "' has no code page 932 form");
    if (const char* why = refusedProjectName(project_))
        return fail(Status::BadCommand, "project name '" + options_.project +
                                            "' cannot be Setup's folder and key name: " + why);
    if (!fs_.toArchiveName(options_.title, title_))
        return fail(Status::BadCommand, "title '" + options_.title + "' has no code page 932 form");
    if (const char* why = refusedTitle(title_))
        return fail(Status::BadCommand,
                    "title '" + options_.title + "' cannot be a shortcut's name: " + why);
    return Status::Ok;
}

Status Run::findPrograms() {
    std::vector<FolderItem> items;
    if (fs_.listFolder(options_.programs, items) != Status::Ok)
        return fail(Status::ReadFailed, options_.programs + ": cannot read the programs' folder");
    for (const auto& [name, item] : {std::pair{kSetup, &setup_}, std::pair{kLibrary, &library_}}) {
        const FolderItem* found = findFile(items, name);
        if (found == nullptr)
            return fail(Status::ReadFailed, options_.programs + ": no " + name +
                                                " there (give its folder with --programs DIR)");
        *item = *found;
    }
    return Status::Ok;
}

Status Run::checkFolders() {
    std::vector<FolderItem> items;
    if (fs_.listFolder(options_.game, items) != Status::Ok)
        return fail(Status::ReadFailed, options_.game + ": cannot read the game folder");
    if (findFile(items, kRuntime) == nullptr)
        observer_.error(std::string("warning: ") + kRuntime + " is not at the top of " +
                        options_.game + "; the installed game will have no program to start");
    // A set made inside the game would take itself in, however the two paths are spelt.
    const std::string inside = fs_.join(fullPath(options_.game), "");
    const std::string out = fs_.join(fullPath(options_.out), "");
    if (out.compare(0, inside.size(), inside) == 0)
        return fail(Status::BadCommand,
                    options_.out + ": inside the game folder; the disk set goes elsewhere");
    if (fs_.listFolder(options_.out, items) == Status::Ok && !items.empty())
        return fail(Status::WriteFailed,
                    options_.out + ": not empty; the disk set goes into an empty or new folder");
    std::vector<std::string> made;
    if (fs_.makeFolders(options_.out, made) != Status::Ok)
        return fail(Status::WriteFailed, options_.out + ": cannot create it");
    return Status::Ok;
}

Status Run::plan() {
    std::unique_ptr<lha::Input> input;
    if (fs_.openArchive(archive_, input) != Status::Ok)
        return fail(Status::ReadFailed, archive_ + ": cannot read the archive");
    const DiskSetSize set = setSize(input->size());
    std::string error;
    bool planned = planVolumes(set, volumes_, error);
    // A thousand volumes and more take a longer extension in Setup's paths.
    const int count = static_cast<int>(volumes_.size());
    if (planned && refusedProjectName(project_, count) != nullptr) {
        error = "project name '" + options_.project + "' is too long for a set of " +
                std::to_string(count) + " volumes";
        planned = false;
    }
    if (planned && options_.images) {
        // No volumes: the whole archive goes onto the first disk.
        const std::uint64_t largest =
            volumes_.empty() ? set.archive : *std::max_element(volumes_.begin(), volumes_.end());
        error = refusedImages(options_, largest);
        planned = error.empty();
    }
    if (!planned) {
        input.reset();
        fs_.removeFile(archive_);
        return fail(Status::BadCommand, error);
    }
    return Status::Ok;
}

DiskSetSize Run::setSize(std::uint64_t archive) const {
    DiskSetSize set;
    set.archive = archive;
    const std::uint64_t unit = allocationUnit(options_.diskSize);
    set.programs = onDisk(setup_.size, unit) + onDisk(library_.size, unit);
    set.project = project_;
    set.title = title_;
    set.diskSize = options_.diskSize;
    set.disks = options_.disks;
    return set;
}

Status Run::copyRange(lha::Input& input, std::uint64_t offset, std::uint64_t size,
                      const std::string& to, const lha::Timestamp& modified) {
    std::unique_ptr<lha::OutputFile> file;
    bool existed = false;
    if (fs_.createFile(to, file, existed) != Status::Ok)
        return fail(Status::WriteFailed, to + ": cannot create the file");
    buffer_.resize(kCopyBuffer);
    for (std::uint64_t done = 0; done < size;) {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kCopyBuffer, size - done));
        std::size_t got = 0;
        if (input.readAt(offset + done, buffer_.data(), want, got) != Status::Ok || got < want)
            return fail(Status::ReadFailed, to + ": cannot read what goes into it");
        if (file->write(buffer_.data(), got) != Status::Ok)
            return fail(Status::WriteFailed, to + ": cannot write the file");
        done += got;
    }
    if (file->finish(modified) != Status::Ok)
        return fail(Status::WriteFailed, to + ": cannot write the file");
    return Status::Ok;
}

Status Run::copyFile(const std::string& from, const std::string& to,
                     const lha::Timestamp& modified) {
    std::unique_ptr<lha::Input> input;
    if (fs_.openArchive(from, input) != Status::Ok)
        return fail(Status::ReadFailed, from + ": cannot read the file");
    return copyRange(*input, 0, input->size(), to, modified);
}

Status Run::placeArchive() {
    const std::string first = diskFolder(options_.out, fs_, 1);
    if (fs_.makeFolder(first) != Status::Ok)
        return fail(Status::WriteFailed, first + ": cannot create it");
    if (volumes_.empty()) {
        const std::string placed = fs_.join(first, options_.project + ".lzh");
        if (fs_.replaceFile(archive_, placed) != Status::Ok)
            return fail(Status::WriteFailed, placed + ": cannot move the archive there");
        archive_ = placed;
        return Status::Ok;
    }
    std::unique_ptr<lha::Input> input;
    if (fs_.openArchive(archive_, input) != Status::Ok)
        return fail(Status::ReadFailed, archive_ + ": cannot read the archive");
    std::uint64_t offset = 0;
    for (std::size_t i = 0; i < volumes_.size(); ++i) {
        const int disk = static_cast<int>(i) + 1;
        const std::string folder = diskFolder(options_.out, fs_, disk);
        if (fs_.makeFolder(folder) != Status::Ok)
            return fail(Status::WriteFailed, folder + ": cannot create it");
        const Status status = copyRange(*input, offset, volumes_[i],
                                        fs_.join(folder, volumeName(options_.project, disk)), {});
        if (status != Status::Ok) return status;
        offset += volumes_[i];
    }
    input.reset();
    fs_.removeFile(archive_);
    return Status::Ok;
}

Status Run::writeDescription() {
    const std::string path = fs_.join(diskFolder(options_.out, fs_, 1), kDescription);
    const std::string text = setupDescription(project_, title_, static_cast<int>(volumes_.size()));
    std::unique_ptr<lha::OutputFile> file;
    bool existed = false;
    if (fs_.createFile(path, file, existed) != Status::Ok ||
        file->write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()) !=
            Status::Ok ||
        file->finish({}) != Status::Ok)
        return fail(Status::WriteFailed, path + ": cannot write the file");
    return Status::Ok;
}

Status Run::verify() {
    observer_.report("checking the set");
    std::vector<std::unique_ptr<lha::Input>> parts;
    std::vector<std::string> paths;
    if (volumes_.empty()) paths.push_back(archive_);
    for (std::size_t i = 0; i < volumes_.size(); ++i) {
        const int disk = static_cast<int>(i) + 1;
        paths.push_back(
            fs_.join(diskFolder(options_.out, fs_, disk), volumeName(options_.project, disk)));
    }
    for (const std::string& path : paths) {
        std::unique_ptr<lha::Input> part;
        if (fs_.openArchive(path, part) != Status::Ok)
            return fail(Status::ReadFailed, path + ": cannot read it back");
        parts.push_back(std::move(part));
    }
    lha::JoinedInput whole(std::move(parts));
    return lha::checkArchive(whole, written_, observer_);
}

Status Run::go() {
    Status status = checkNames();
    if (status == Status::Ok) status = findPrograms();
    std::string error;
    if (status == Status::Ok && !programsFit(setSize(0), error))
        status = fail(Status::BadCommand, error);
    if (status == Status::Ok) status = checkFolders();
    if (status != Status::Ok) return status;

    // Until it is known how many disks the archive needs, it waits in OUT_FOLDER itself; it goes
    // onto the disks whole or in volumes, as the last lines say.
    archive_ = fs_.join(options_.out, options_.project + ".lzh");
    observer_.report("packing " + options_.game);
    lha::PackJob job;
    job.archive = archive_;
    job.paths = {options_.game};
    job.method = options_.method;
    job.effort = options_.effort;
    job.caseless = true;
    job.longestPath = longestGamePath(project_);
    job.listFiles = false;
    if ((status = lha::runPackJob(job, fs_, observer_, written_)) != Status::Ok) return status;
    // Folders alone would install nothing to run.
    if (std::none_of(written_.begin(), written_.end(), [](const lha::WrittenEntry& entry) {
            return entry.method != lha::kDirectoryMethod;
        })) {
        fs_.removeFile(archive_);
        return fail(Status::BadCommand, options_.game + ": no files in it, nothing to install");
    }

    if ((status = plan()) != Status::Ok) return status;
    if ((status = placeArchive()) != Status::Ok) return status;
    const std::string first = diskFolder(options_.out, fs_, 1);
    if ((status = copyFile(fs_.join(options_.programs, setup_.name), fs_.join(first, kSetup),
                           setup_.modified)) != Status::Ok ||
        (status = copyFile(fs_.join(options_.programs, library_.name), fs_.join(first, kLibrary),
                           library_.modified)) != Status::Ok ||
        (status = writeDescription()) != Status::Ok)
        return status;
    if (options_.verify && (status = verify()) != Status::Ok) return status;

    const std::size_t disks = std::max<std::size_t>(volumes_.size(), 1);
    if (options_.images &&
        (status = writeDiskImages(options_, static_cast<int>(disks), fs_, observer_)) != Status::Ok)
        return status;
    for (std::size_t i = 0; i < disks; ++i) {
        std::string line = diskFolder(options_.out, fs_, static_cast<int>(i) + 1) + ": ";
        if (i == 0) line += std::string(kSetup) + ", " + kDescription + ", " + kLibrary + ", ";
        line += volumes_.empty() ? options_.project + ".lzh"
                                 : volumeName(options_.project, static_cast<int>(i) + 1) + " of " +
                                       std::to_string(volumes_[i]) + " bytes";
        observer_.report(line);
    }
    return Status::Ok;
}

} // namespace

Status makeDisks(const Options& options, FileSystem& fileSystem, lha::Observer& observer) {
    TrackedFileSystem tracked(fileSystem, observer);
    const Status status = Run(options, tracked, observer).go();
    if (status == Status::Ok) return status;
    tracked.removeCreated();
    // Whatever step the stop met, the run was cancelled.
    return observer.cancelled() ? Status::Cancelled : status;
}

} // namespace mkdisks
