// Interrupts as signals: the handler only sets a lock-free flag, which is safe in a handler.
#include "Interrupt.h"

#include <atomic>
#include <csignal>

namespace lha {
namespace {

std::atomic<bool> caught{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onSignal(int) {
    caught.store(true);
}

} // namespace

void catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // The handler runs once; a second signal takes the default action and ends the program.
    action.sa_flags = SA_RESETHAND;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool interrupted() {
    return caught.load();
}

} // namespace lha
