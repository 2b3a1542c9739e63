// An interrupt from the user or the system, taken by the commands (unlha, mkdisks) as a request
// to stop: the run winds down at its next read or write and removes what it had half written.
#pragma once

namespace lha {

// From now on the first interrupt only sets what interrupted() tells: on POSIX SIGINT, SIGTERM
// and SIGHUP; on Windows Ctrl-C, Ctrl-Break and closing the console (or logging off), where the
// program then ends as soon as main returns. A second Ctrl-C or signal ends the program at once.
void catchInterrupts();
bool interrupted();

} // namespace lha
