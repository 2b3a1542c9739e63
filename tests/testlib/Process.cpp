// Starting programs under test and waiting for them.
#include "Process.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace testbed {

Process Process::Start(const std::string& exe, const std::string& args, const std::string& dir) {
    std::string commandLine = "\"" + exe + "\"";
    if (!args.empty()) commandLine += " " + args;
    std::string workDir = dir;
    if (workDir.empty()) workDir = exe.substr(0, exe.find_last_of("\\/") + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &startup, &info)) {
        throw std::runtime_error("cannot start " + commandLine + " (error " +
                                 std::to_string(GetLastError()) + ")");
    }
    CloseHandle(info.hThread);
    return Process(info.hProcess, info.dwProcessId);
}

Process::Process(Process&& other) noexcept : process_(other.process_), id_(other.id_) {
    other.process_ = nullptr;
}

Process::~Process() {
    if (!process_) return;
    if (Running()) {
        TerminateProcess(process_, 255);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool Process::Running() const {
    return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_, exitCode);
    return true;
}

} // namespace testbed
