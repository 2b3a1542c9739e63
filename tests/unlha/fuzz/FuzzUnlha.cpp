// libFuzzer target of the codec. The first input byte picks what the rest is:
//   even: an archive, listed and then extracted into memory (header reader, every decoder
//         through the method table, path checks, extraction policy);
//   odd:  a raw stream for one decoder: byte 1 picks the method, bytes 2-4 the original size.
#include "ArchiveReader.h"
#include "InMemoryJob.h"
#include "Methods.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] & 1)
        fuzzDecoder(data, size);
    else
        fuzzArchive(data + 1, size - 1);
    return 0;
}
