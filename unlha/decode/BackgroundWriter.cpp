// The helper thread behind OutputWindow.
#include "BackgroundWriter.h"

#include "OutputWindow.h"

namespace lha {

BackgroundWriter::~BackgroundWriter() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool BackgroundWriter::submit(OutputSink& sink, Crc16& crc, const std::uint8_t* data,
                              std::size_t size) {
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread(&BackgroundWriter::run, this);
        } catch (...) {
            return false;
        }
    }
    {
        const std::lock_guard lock(mutex_);
        sink_ = &sink;
        crc_ = &crc;
        data_ = data;
        size_ = size;
        busy_ = true;
    }
    changed_.notify_all();
    return true;
}

Status BackgroundWriter::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    const Status status = status_;
    status_ = Status::Ok;
    return status;
}

void BackgroundWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stop_; });
        if (stop_) return;
        lock.unlock();
        crc_->update(data_, size_);
        const Status status = sink_->write(data_, size_);
        lock.lock();
        if (status_ == Status::Ok) status_ = status;
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace lha
