// libFuzzer target of the codec. The first input byte picks what the rest is:
//   0 (mod 4): an archive, listed and then extracted into memory (header reader, every
//              decoder through the method table, path checks, extraction policy);
//   odd:       a raw stream for one decoder: byte 1 picks the method, bytes 2-4 the original
//              size;
//   2 (mod 4): a file packed and unpacked again, which must give it back: byte 1 picks the
//              method and the effort.
#include "ArchiveReader.h"
#include "InMemoryJob.h"
#include "Methods.h"
#include "PackJob.h"

#include <cstdlib>

#include <array>
#include <cstdint>
#include <string>

namespace {

constexpr std::array<const char*, 10> kMethods = {"-lh0-", "-lz4-", "-lh1-", "-lh4-", "-lh5-",
                                                  "-lh6-", "-lh7-", "-lhx-", "-lzs-", "-lz5-"};

class NullSink final : public lha::OutputSink {
public:
    lha::Status write(const std::uint8_t*, std::size_t) override { return lha::Status::Ok; }
};

void fuzzDecoder(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return;
    const lha::Method* method = lha::findMethod(kMethods[data[1] % kMethods.size()]);
    const std::uint64_t originalSize = data[2] | data[3] << 8 | (data[4] & 0x0F) << 16;
    lha::MemoryInput input(data + 5, size - 5);
    lha::ByteStream stream(input);
    lha::BitReader in(stream, size - 5);
    lha::OutputWindow window;
    NullSink sink;
    if (window.start(method->window, originalSize, sink) != lha::Status::Ok) return;
    method->make()->decode(in, window);
    window.drain();
}

void fuzzArchive(const std::uint8_t* data, std::size_t size) {
    lha::test::MemoryFileSystem fileSystem;
    fileSystem.keepContents = false;
    // Small archives may legitimately unpack to gigabytes; a cap keeps each run short.
    fileSystem.maxFileSize = 16 << 20;
    fileSystem.archives["a.lzh"].assign(reinterpret_cast<const char*>(data), size);
    lha::test::runOn(fileSystem, {lha::Action::List, "a.lzh", "out"});
    lha::test::runOn(fileSystem, {lha::Action::Extract, "a.lzh", "out"});
}

class Quiet final : public lha::Observer {
public:
    void report(std::string_view) override {}
    void error(std::string_view) override {}
    void progress(std::string_view, std::uint64_t, std::uint64_t) override {}
    bool cancelled() override { return false; }
};

void fuzzRoundTrip(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return;
    constexpr std::array<const char*, 3> kPacking = {"-lh5-", "-lh6-", "-lh7-"};
    lha::test::MemoryFileSystem fileSystem;
    const std::string file(reinterpret_cast<const char*>(data + 2), size - 2);
    fileSystem.folders.insert("game");
    fileSystem.archives["game/file"] = file;
    lha::PackJob job;
    job.archive = "game.lzh";
    job.paths = {"game"};
    job.method = kPacking[data[1] % kPacking.size()];
    job.effort = data[1] & 0x80 ? lha::Encoder::Effort::Best : lha::Encoder::Effort::Normal;
    Quiet quiet;
    std::vector<lha::WrittenEntry> written;
    if (lha::runPackJob(job, fileSystem, quiet, written) != lha::Status::Ok) std::abort();
    fileSystem.archives["game.lzh"] = fileSystem.files["game.lzh"];
    const lha::test::Outcome outcome =
        lha::test::runOn(fileSystem, {lha::Action::Extract, "game.lzh", "out"});
    const auto unpacked = outcome.fileSystem.files.find("out/file");
    if (outcome.status != lha::Status::Ok || unpacked == outcome.fileSystem.files.end() ||
        unpacked->second != file)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] & 1)
        fuzzDecoder(data, size);
    else if (data[0] & 2)
        fuzzRoundTrip(data, size);
    else
        fuzzArchive(data + 1, size - 1);
    return 0;
}
