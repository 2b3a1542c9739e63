// Running a job over the archive's entries: the policy of what is created where, and the
// report of what was done.
#include "Job.h"

#include "ArchiveReader.h"
#include "EntryPath.h"
#include "MacBinary.h"
#include "Methods.h"
#include "PartialFile.h"
#include "ReportText.h"

#include <optional>
#include <set>

namespace lha {
namespace {

std::string hex4(unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 12 & 0xF], kDigits[value >> 8 & 0xF], kDigits[value >> 4 & 0xF],
            kDigits[value & 0xF]};
}

// Passes a file's data on (or drops it when testing) and tells the observer how far we are.
// write() may run on the output's helper thread; progress() runs on the job's.
class ProgressSink final : public OutputSink {
public:
    ProgressSink(OutputSink* target, Observer& observer, const ArchiveReader& reader,
                 const std::string& entry)
        : target_(target), observer_(observer), reader_(reader), entry_(entry) {}

    Status write(const std::uint8_t* data, std::size_t size) override {
        return target_ != nullptr ? target_->write(data, size) : Status::Ok;
    }
    void progress() override { observer_.progress(entry_, reader_.position(), reader_.size()); }

private:
    OutputSink* target_;
    Observer& observer_;
    const ArchiveReader& reader_;
    const std::string& entry_;
};

class Run {
public:
    Run(const Job& job, FileSystem& fileSystem, Observer& observer)
        : job_(job), fileSystem_(fileSystem), observer_(observer) {}
    Status go();

private:
    void fail(Status status, const std::string& subject, std::string_view why);
    bool checkPath(const Entry& entry, const std::string& shown, EntryPath& path);
    bool makeFolder(const std::string& folder, const std::string& shown);
    void list(const Entry& entry, const std::string& shown);
    void test(const Entry& entry, const std::string& shown);
    void extract(const Entry& entry, const std::string& shown);
    void writeFile(const Entry& entry, const std::string& shown, const std::string& target);
    void done(const std::string& line, const Entry& entry);
    void summary();

    const Job& job_;
    FileSystem& fileSystem_;
    Observer& observer_;
    ArchiveReader* reader_ = nullptr;
    std::set<std::string> folders_; // folders known to exist
    Status result_ = Status::Ok;
    std::uint64_t files_ = 0;
    std::uint64_t folderEntries_ = 0; // listed or made
    std::uint64_t bytes_ = 0;
    std::uint64_t packed_ = 0; // of the entries listed
    std::uint64_t failed_ = 0;
};

void Run::done(const std::string& line, const Entry& entry) {
    observer_.report(line);
    ++files_;
    bytes_ += entry.originalSize;
}

void Run::fail(Status status, const std::string& subject, std::string_view why) {
    observer_.error(subject + ": " + std::string(why));
    ++failed_;
    if (result_ == Status::Ok) result_ = status;
}

bool Run::checkPath(const Entry& entry, const std::string& shown, EntryPath& path) {
    const char* why = nullptr;
    if (splitEntryPath(entry, path, why) != Status::Ok) {
        fail(Status::RefusedPath, shown, std::string("refused: ") + why);
        return false;
    }
    for (std::string& part : path.parts) {
        part = fileSystem_.fromArchiveName(part);
        if (!fileSystem_.acceptsName(part)) {
            fail(Status::RefusedPath, shown, "refused: name not valid on this system");
            return false;
        }
    }
    return true;
}

bool Run::makeFolder(const std::string& folder, const std::string& shown) {
    if (folders_.count(folder) != 0) return true;
    const Status status = fileSystem_.makeFolder(folder);
    // A link found below the destination is never followed: it could lead anywhere.
    if (status == Status::RefusedPath) {
        fail(status, shown, "refused: " + folder + " is a link");
        return false;
    }
    if (status != Status::Ok) {
        fail(Status::WriteFailed, shown, "cannot create folder " + folder);
        return false;
    }
    folders_.insert(folder);
    return true;
}

void Run::list(const Entry& entry, const std::string& shown) {
    observer_.report(padded(entry.originalSize, 12) + ' ' + padded(entry.packedSize, 12) + ' ' +
                     ratio(entry.packedSize, entry.originalSize) + ' ' + entry.method + ' ' +
                     hex4(entry.crc) + ' ' + entry.modified.text() + ' ' + shown);
    if (entry.method == kDirectoryMethod && !isSymbolicLink(entry)) {
        ++folderEntries_;
        return;
    }
    ++files_;
    bytes_ += entry.originalSize;
    packed_ += entry.packedSize;
}

void Run::test(const Entry& entry, const std::string& shown) {
    if (entry.method == kDirectoryMethod) return;
    ProgressSink sink(nullptr, observer_, *reader_, shown);
    const Status status = reader_->decode(entry, sink);
    if (status != Status::Ok) return fail(status, shown, reader_->problem());
    done("ok        " + padded(entry.originalSize, 12) + "  " + shown, entry);
}

void Run::writeFile(const Entry& entry, const std::string& shown, const std::string& target) {
    // A new file is decoded in place; an existing one is replaced only once the new data is
    // whole and verified, so a broken entry never destroys it.
    std::unique_ptr<OutputFile> file;
    bool existed = false;
    std::string written = target;
    Status status = fileSystem_.createFile(target, file, existed);
    if (status != Status::Ok && existed) {
        status = createPartial(
            target,
            [&](const std::string& name, bool& taken) {
                return fileSystem_.createFile(name, file, taken);
            },
            written);
    }
    if (status != Status::Ok) return fail(Status::WriteFailed, shown, "cannot create " + written);
    // Macintosh writers may store a file in its MacBinary wrapper.
    std::optional<MacBinarySink> macBinary;
    OutputSink* sinkTarget = file.get();
    if (entry.os == 'm') sinkTarget = &macBinary.emplace(*file, entry.originalSize);
    ProgressSink sink(sinkTarget, observer_, *reader_, shown);
    status = reader_->decode(entry, sink);
    const char* why = status == Status::WriteFailed ? "cannot write the file" : reader_->problem();
    if (status == Status::Ok) {
        status = file->finish(entry.modified);
        why = "cannot close the file";
    }
    file.reset();
    if (status == Status::Ok && written != target) {
        status = fileSystem_.replaceFile(written, target);
        why = "cannot replace the file";
    }
    if (status != Status::Ok) {
        fileSystem_.removeFile(written);
        return fail(status, shown, why);
    }
    done("extracted " + padded(entry.originalSize, 12) + "  " + shown +
             (macBinary && macBinary->unwrapped() ? "  (data fork of its MacBinary wrapper)" : ""),
         entry);
}

void Run::extract(const Entry& entry, const std::string& shown) {
    if (isSymbolicLink(entry)) {
        observer_.report("skipped symbolic link  " + shown);
        return;
    }
    EntryPath path;
    if (!checkPath(entry, shown, path)) return;
    if (path.rooted) observer_.report("stored from the root, put under the destination  " + shown);
    const bool folderEntry =
        entry.method == kDirectoryMethod || (path.isFolder && entry.originalSize == 0);
    if (folderEntry) {
        if (job_.action != Action::Extract) return;
        std::string folder = job_.destination;
        for (const std::string& part : path.parts) {
            folder = fileSystem_.join(folder, part);
            if (!makeFolder(folder, shown)) return;
        }
        observer_.report("folder                  " + shown);
        ++folderEntries_;
        return;
    }
    if (path.parts.empty() || path.isFolder)
        return fail(Status::RefusedPath, shown, "refused: no file name");
    if (findMethod(entry.method) == nullptr)
        return fail(Status::Unsupported, shown, "unsupported method " + entry.method);

    std::string folder = job_.destination;
    if (job_.action == Action::Extract) {
        for (std::size_t i = 0; i + 1 < path.parts.size(); ++i) {
            folder = fileSystem_.join(folder, path.parts[i]);
            if (!makeFolder(folder, shown)) return;
        }
    }
    writeFile(entry, shown, fileSystem_.join(folder, path.parts.back()));
}

Status Run::go() {
    std::unique_ptr<Input> input;
    if (fileSystem_.openArchive(job_.archive, input) != Status::Ok) {
        fail(Status::ReadFailed, job_.archive, "cannot open the archive");
        return result_;
    }
    const bool writes = job_.action == Action::Extract || job_.action == Action::ExtractFlat;
    if (writes) {
        std::vector<std::string> made;
        if (fileSystem_.makeFolders(job_.destination, made) != Status::Ok) {
            fail(Status::WriteFailed, job_.destination, "cannot create the folder");
            return result_;
        }
        folders_.insert(job_.destination);
    }
    ArchiveReader reader(*input);
    reader_ = &reader;
    if (job_.action == Action::List)
        observer_.report("    original       packed  ratio method crc date       time     name");

    for (;;) {
        if (observer_.cancelled()) {
            observer_.error("cancelled by the user");
            result_ = Status::Cancelled;
            break;
        }
        Entry entry;
        bool end = false;
        const Status status = reader.next(entry, end);
        if (status != Status::Ok) {
            const std::string shown = fileSystem_.fromArchiveName(printablePath(entry));
            const std::string where = " at offset " + std::to_string(entry.headerOffset);
            if (status == Status::NotArchive)
                fail(status, job_.archive, "not an LHA archive");
            else if (shown.empty())
                fail(status, job_.archive, reader.problem() + where);
            else
                fail(status, shown, reader.problem());
            break;
        }
        if (end) break;
        const std::string shown = fileSystem_.fromArchiveName(printablePath(entry));
        observer_.progress(shown, reader.position(), reader.size());
        switch (job_.action) {
        case Action::List: list(entry, shown); break;
        case Action::Test: test(entry, shown); break;
        case Action::Extract:
        case Action::ExtractFlat: extract(entry, shown); break;
        }
    }
    // mkdisks splits a set into NAME.001, NAME.002 ...: the first alone ends inside an entry.
    const std::string suffix = ".001";
    if (result_ != Status::Ok && job_.archive.size() > suffix.size() &&
        job_.archive.compare(job_.archive.size() - suffix.size(), suffix.size(), suffix) == 0)
        observer_.error(job_.archive +
                        ": the first volume of a split archive; the archive continues in the "
                        "next volumes, which joined end to end make it whole");
    summary();
    return result_;
}

void Run::summary() {
    std::string counts = counted(files_, "file");
    if (folderEntries_ != 0) counts += ", " + counted(folderEntries_, "folder");
    const std::string failed = failed_ == 0 ? "" : ", " + std::to_string(failed_) + " failed";
    if (job_.action != Action::List) {
        observer_.report(counts + ", " + counted(bytes_, "byte") + failed);
        return;
    }
    // The totals in the columns of the sizes, the counts where the names are.
    observer_.report(std::string(12, '-') + ' ' + std::string(12, '-') + ' ' + std::string(6, '-'));
    observer_.report(padded(bytes_, 12) + ' ' + padded(packed_, 12) + ' ' + ratio(packed_, bytes_) +
                     std::string(32, ' ') + counts + failed);
}

} // namespace

Status runJob(const Job& job, FileSystem& fileSystem, Observer& observer) {
    return Run(job, fileSystem, observer).go();
}

} // namespace lha
