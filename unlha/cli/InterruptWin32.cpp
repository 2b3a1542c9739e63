// Interrupts as console control events, which Windows delivers on a thread of their own.
#include "Interrupt.h"

#include <atomic>
#include <windows.h>

namespace lha {
namespace {

std::atomic<bool> caught{false};

BOOL WINAPI onControl(DWORD event) {
    const bool again = caught.exchange(true);
    // Ctrl-C and Ctrl-Break: handled the first time; the second goes on to the default
    // handler, which ends the program.
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return again ? FALSE : TRUE;
    // Closing the console, logging off, shutting down: Windows ends the program when this
    // handler returns (or after a few seconds). Keep it from returning, so that the run can
    // remove what it made; the program ends when main returns.
    Sleep(INFINITE);
    return TRUE;
}

} // namespace

void catchInterrupts() {
    SetConsoleCtrlHandler(onControl, TRUE);
}

bool interrupted() {
    return caught.load();
}

} // namespace lha
