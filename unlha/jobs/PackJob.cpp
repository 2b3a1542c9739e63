// The pack job: the plan of what goes into the archive, checked before anything is written,
// then the writing, and the check of an archive against its plan.
#include "PackJob.h"

#include "ArchiveReader.h"
#include "EntryPath.h"
#include "Methods.h"
#include "PartialFile.h"
#include "ReportText.h"

#include <algorithm>
#include <map>

namespace lha {
namespace {

// One file or folder to put into the archive.
struct Planned {
    std::vector<std::string> folders; // stored folder names, outermost first
    std::string name;                 // stored name; for a folder, its own name is in folders
    std::string source;               // its path on this system
    std::string shown;                // its stored path as this system writes it, for messages
    bool folder = false;
    Timestamp modified;
    std::uint16_t attributes = 0;
};

// Passes reads on, and tells the observer how far into all files the job is. A file read again
// (stored after all, as packing did not shrink it) does not move the progress back.
class ProgressInput final : public Input {
public:
    ProgressInput(Input& input, Observer& observer, const std::string& entry, std::uint64_t before,
                  std::uint64_t total)
        : input_(input), observer_(observer), entry_(entry), before_(before), total_(total) {}
    Status readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size,
                  std::size_t& got) override {
        const Status status = input_.readAt(offset, buffer, size, got);
        furthest_ = std::max(furthest_, offset + got);
        observer_.progress(entry_, before_ + furthest_, total_);
        return status;
    }
    std::uint64_t size() const override { return input_.size(); }

private:
    Input& input_;
    Observer& observer_;
    const std::string& entry_;
    std::uint64_t before_;
    std::uint64_t total_;
    std::uint64_t furthest_ = 0;
};

// Takes decoded data for the check, and reports progress.
class CheckSink final : public OutputSink {
public:
    CheckSink(Observer& observer, const ArchiveReader& reader, const std::string& entry)
        : observer_(observer), reader_(reader), entry_(entry) {}
    Status write(const std::uint8_t*, std::size_t) override { return Status::Ok; }
    void progress() override { observer_.progress(entry_, reader_.position(), reader_.size()); }

private:
    Observer& observer_;
    const ArchiveReader& reader_;
    const std::string& entry_;
};

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

class Plan {
public:
    Plan(FileSystem& fileSystem, Observer& observer, const PackJob& job)
        : fileSystem_(fileSystem), observer_(observer), caseless_(job.caseless),
          longestPath_(job.longestPath) {}

    // Adds what `paths` name: a lone folder's contents at the top of the archive, otherwise
    // each file and folder under its own name. False once anything was refused.
    bool take(const std::vector<std::string>& paths);

    std::vector<Planned> items;
    std::uint64_t bytes = 0; // of all files
    Status status = Status::Ok;

private:
    // Stored names beside each other (lower case when caseless) -> the path that took it.
    struct Taken {
        std::string stored;
        std::string source;
    };
    using Names = std::map<std::string, Taken>;

    void refuse(Status why, const std::string& shown, const std::string& problem) {
        observer_.error(shown + ": " + problem);
        if (status == Status::Ok) status = why;
    }
    // Adds what the folder `path` holds, stored below `folders`, shown below `shown`.
    void walk(const std::string& path, const std::vector<std::string>& folders,
              const std::string& shown);
    // Adds the file or folder `item`, found at `source`, beside the names `taken`.
    void add(const FolderItem& item, const std::string& source,
             const std::vector<std::string>& folders, const std::string& shown, Names& taken);

    FileSystem& fileSystem_;
    Observer& observer_;
    bool caseless_;
    std::size_t longestPath_;
};

bool Plan::take(const std::vector<std::string>& paths) {
    FolderItem item;
    if (paths.size() == 1 && fileSystem_.examine(paths[0], item) == Status::Ok &&
        item.kind == FolderItem::Kind::Folder) {
        walk(paths[0], {}, "");
        return status == Status::Ok;
    }
    Names taken;
    for (const std::string& path : paths) {
        if (fileSystem_.examine(path, item) != Status::Ok)
            refuse(Status::ReadFailed, path, "no such file or folder, or it cannot be read");
        else if (item.name.empty() || item.name == "." || item.name == "..")
            refuse(Status::RefusedPath, path,
                   "has no name to store it under; give a folder by its name, or alone to "
                   "pack what it holds");
        else
            add(item, path, {}, "", taken);
    }
    return status == Status::Ok;
}

void Plan::walk(const std::string& path, const std::vector<std::string>& folders,
                const std::string& shown) {
    std::vector<FolderItem> found;
    if (fileSystem_.listFolder(path, found) != Status::Ok) {
        refuse(Status::ReadFailed, shown.empty() ? path : shown, "cannot read the folder");
        return;
    }
    std::sort(found.begin(), found.end(),
              [](const FolderItem& a, const FolderItem& b) { return a.name < b.name; });
    Names taken;
    for (const FolderItem& item : found)
        add(item, fileSystem_.join(path, item.name), folders, shown, taken);
}

void Plan::add(const FolderItem& item, const std::string& source,
               const std::vector<std::string>& folders, const std::string& shown, Names& taken) {
    const std::string itemShown =
        shown.empty() ? item.name : shown + fileSystem_.separator() + item.name;
    // Refusals name the file as the user finds it.
    std::string stored;
    if (!fileSystem_.toArchiveName(item.name, stored))
        return refuse(Status::RefusedPath, source, "the name has no code page 932 form");
    if (const char* why = refusedName(stored)) return refuse(Status::RefusedPath, source, why);
    std::size_t length = stored.size();
    for (const std::string& folder : folders)
        length += folder.size() + 1;
    if (length > longestPath_)
        return refuse(Status::RefusedPath, source,
                      "its path of " + std::to_string(length) + " bytes is longer than the " +
                          std::to_string(longestPath_) + " it may have");
    const auto [twin, added] =
        taken.emplace(caseless_ ? lowerAscii(stored) : stored, Taken{stored, source});
    if (!added && twin->second.stored == stored)
        return refuse(Status::RefusedPath, source,
                      "would be stored under the same name as " + twin->second.source);
    if (!added)
        return refuse(Status::RefusedPath, source,
                      "differs only in case from " + twin->second.source +
                          ", which Windows cannot tell apart");
    if (item.kind == FolderItem::Kind::Other)
        return refuse(Status::RefusedPath, source,
                      "not a file or a folder (a link to a folder, which is never followed, a "
                      "link to nothing, a device or a pipe)");
    Planned planned;
    planned.folders = folders;
    planned.source = source;
    planned.shown = itemShown;
    planned.modified = item.modified;
    planned.attributes = item.attributes;
    if (item.kind == FolderItem::Kind::Folder) {
        planned.folder = true;
        planned.folders.push_back(stored);
        items.push_back(planned);
        walk(planned.source, planned.folders, itemShown);
        return;
    }
    if (item.size > ArchiveWriter::kMaxFileSize)
        return refuse(Status::Unsupported, source, "files of 4 GiB and more are not supported");
    planned.name = stored;
    bytes += item.size;
    items.push_back(planned);
}

// Writes the planned entries; reports failures itself.
Status writeArchive(const PackJob& job, const Plan& plan, ArchiveFile& file, FileSystem& fileSystem,
                    Observer& observer, std::vector<WrittenEntry>& written) {
    Encoder encoder(*findMethod(job.method), job.effort);
    ArchiveWriter writer(file, encoder, job.method);
    std::uint64_t done = 0;
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    for (const Planned& item : plan.items) {
        if (observer.cancelled()) {
            observer.error("cancelled by the user");
            return Status::Cancelled;
        }
        observer.progress(item.shown, done, plan.bytes);
        Status status = Status::Ok;
        if (item.folder) {
            status = writer.addFolder(item.folders, item.modified, item.attributes);
        } else {
            std::unique_ptr<Input> input;
            status = fileSystem.openArchive(item.source, input);
            if (status == Status::Ok) {
                ProgressInput progress(*input, observer, item.shown, done, plan.bytes);
                status = writer.addFile(item.folders, item.name, progress, item.modified,
                                        item.attributes);
                done += input->size();
            }
        }
        switch (status) {
        case Status::Ok: break;
        case Status::ReadFailed:
            observer.error(item.shown + ": cannot read the file");
            return status;
        case Status::Unsupported:
            observer.error(item.shown + ": too large for the archive's headers");
            return status;
        default: observer.error(job.archive + ": cannot write the archive"); return status;
        }
        ++(item.folder ? folders : files);
        if (!job.listFiles) continue;
        const WrittenEntry& entry = writer.entries().back();
        if (item.folder)
            observer.report("folder                                     " + item.shown);
        else
            observer.report("packed " + padded(entry.originalSize, 12) + ' ' +
                            padded(entry.packedSize, 12) + ' ' + entry.method + "  " + item.shown);
    }
    if (writer.finish() != Status::Ok) {
        observer.error(job.archive + ": cannot write the archive");
        return Status::WriteFailed;
    }
    written = writer.entries();
    observer.report(counted(files, "file") +
                    (folders == 0 ? "" : ", " + counted(folders, "folder")) + ", " +
                    counted(plan.bytes, "byte") + ", archive of " + counted(writer.size(), "byte"));
    return Status::Ok;
}

} // namespace

const char* refusedName(const std::string& name) {
    if (name.empty()) return "empty name";
    Entry entry;
    entry.name = name;
    EntryPath path;
    const char* why = nullptr;
    if (splitEntryPath(entry, path, why) != Status::Ok) return why;
    if (path.parts.size() != 1 || path.parts[0] != name) return "a slash or backslash in the name";
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(name[i]);
        if (isShiftJisLeadByte(byte) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (std::string_view("*?\"<>|").find(static_cast<char>(byte)) != std::string_view::npos)
            return "a character Windows does not allow in names (* ? \" < > |)";
    }
    // Windows drops dots and blanks at the end of a name; neither can be a trail byte.
    if (name.back() == '.' || name.back() == ' ') return "the name ends in a dot or blank";
    return nullptr;
}

Status parsePackCommand(const std::vector<std::string>& arguments, PackCommand& command,
                        std::string& error) {
    command = PackCommand{};
    std::vector<std::string> paths;
    bool switches = true; // until the archive, or "--" before a name that begins with '-'
    for (const std::string& argument : arguments) {
        if (switches && paths.empty() && argument.size() > 1 && argument[0] == '-') {
            if (argument == "--") {
                switches = false;
            } else if (argument == "-q") {
                command.quiet = true;
            } else if (argument == "-best") {
                command.job.effort = Encoder::Effort::Best;
            } else if (canEncode(argument + '-')) {
                command.job.method = argument + '-';
            } else {
                error = "unknown switch '" + argument + "'";
                return Status::BadCommand;
            }
            continue;
        }
        paths.push_back(argument);
    }
    if (paths.size() < 2 || std::find(paths.begin(), paths.end(), "") != paths.end()) {
        error = "a needs an archive and the files or folders to pack";
        return Status::BadCommand;
    }
    command.job.archive = paths[0];
    command.job.paths.assign(paths.begin() + 1, paths.end());
    return Status::Ok;
}

Status runPackJob(const PackJob& job, FileSystem& fileSystem, Observer& observer,
                  std::vector<WrittenEntry>& written) {
    written.clear();
    if (!canEncode(job.method)) {
        observer.error("cannot pack with " + job.method);
        return Status::Unsupported;
    }
    // Anything there, a folder as well, is refused before the packing rather than after it.
    if (FolderItem existing; fileSystem.examine(job.archive, existing) == Status::Ok) {
        observer.error(job.archive + ": exists already; a new archive is made only where none is");
        return Status::WriteFailed;
    }
    Plan plan(fileSystem, observer, job);
    if (!plan.take(job.paths)) return plan.status;

    std::string partial;
    std::unique_ptr<ArchiveFile> file;
    const auto create = [&](const std::string& name, bool& existed) {
        return fileSystem.createArchive(name, file, existed);
    };
    if (createPartial(job.archive, create, partial) != Status::Ok) {
        observer.error(partial + ": cannot create the file");
        return Status::WriteFailed;
    }
    Status status = writeArchive(job, plan, *file, fileSystem, observer, written);
    file.reset();
    if (status == Status::Ok && fileSystem.replaceFile(partial, job.archive) != Status::Ok) {
        observer.error(job.archive + ": cannot put the archive in place");
        status = Status::WriteFailed;
    }
    if (status != Status::Ok) {
        fileSystem.removeFile(partial);
        written.clear();
    }
    return status;
}

Status checkArchive(Input& archive, const std::vector<WrittenEntry>& written, Observer& observer) {
    ArchiveReader reader(archive);
    for (const WrittenEntry& expected : written) {
        Entry entry;
        bool end = false;
        const Status status = reader.next(entry, end);
        const std::string shown = printablePath(entry);
        if (status != Status::Ok || end) {
            observer.error(std::string("check: ") +
                           (end ? "the archive ends early" : reader.problem()));
            return Status::BrokenData;
        }
        if (entry.method != expected.method || entry.directory != expected.directory ||
            entry.name != expected.name || entry.originalSize != expected.originalSize ||
            entry.packedSize != expected.packedSize || entry.crc != expected.crc) {
            observer.error("check: " + shown + ": the header differs from what was written");
            return Status::BrokenData;
        }
        if (entry.method == kDirectoryMethod) continue;
        CheckSink sink(observer, reader, shown);
        if (reader.decode(entry, sink) != Status::Ok) {
            observer.error("check: " + shown + ": " + reader.problem());
            return Status::BrokenData;
        }
    }
    Entry entry;
    bool end = false;
    if (reader.next(entry, end) != Status::Ok || !end) {
        observer.error("check: the archive holds more than was written");
        return Status::BrokenData;
    }
    return Status::Ok;
}

} // namespace lha
