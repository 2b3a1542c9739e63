// Polling waits with a timeout: the test bed never sleeps and hopes.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace testbed {

constexpr DWORD kDefaultTimeoutMs = 20000;

// Calls probe every few milliseconds until it returns a value that converts to true, or the
// timeout passes; returns the last value either way.
template <class Probe>
auto WaitFor(Probe probe, DWORD timeoutMs = kDefaultTimeoutMs) -> decltype(probe()) {
    const DWORD start = GetTickCount();
    for (;;) {
        auto value = probe();
        if (value || GetTickCount() - start >= timeoutMs) return value;
        Sleep(15);
    }
}

} // namespace testbed
