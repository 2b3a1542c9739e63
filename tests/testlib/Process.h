// A program started by a test: its process, exit code, and termination when the test ends.
#pragma once
#include <windows.h>

#include <string>

namespace testbed {

class Process {
public:
    // Starts exe with the given argument text (appended after the quoted exe path) in dir
    // (empty: the exe's own folder). Fails the calling test when the start fails.
    static Process Start(const std::string& exe, const std::string& args = "",
                         const std::string& dir = "");

    Process(Process&& other) noexcept;
    Process& operator=(Process&&) = delete;
    Process(const Process&) = delete;
    ~Process(); // a process still running is terminated, so a failed test leaves nothing behind

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    bool Running() const;
    // The exit code, or nothing when the process has not ended within the timeout.
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;

private:
    Process(HANDLE process, DWORD id) : process_(process), id_(id) {}
    HANDLE process_;
    DWORD id_;
};

} // namespace testbed
