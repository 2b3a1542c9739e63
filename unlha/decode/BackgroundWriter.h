// A helper thread that checks and writes a big file's full output chunks while the decoder
// goes on with the next one.
#pragma once

#include "Crc16.h"
#include "Status.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

namespace lha {

class OutputSink;

class BackgroundWriter {
public:
    BackgroundWriter() = default;
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Updates `crc` with the `size` bytes at `data` and writes them to `sink` on the helper
    // thread; the bytes must stay put until wait() returns. Call only when idle (after
    // wait()). False when no thread can be started: then nothing was done.
    bool submit(OutputSink& sink, Crc16& crc, const std::uint8_t* data, std::size_t size);
    // Waits until the last piece is written; the first failure since the last wait().
    Status wait();

private:
    void run();

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    OutputSink* sink_ = nullptr;
    Crc16* crc_ = nullptr;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    bool busy_ = false; // a piece is handed over and not yet written
    bool stop_ = false;
    Status status_ = Status::Ok;
};

} // namespace lha
