// Stand-ins for the C++ runtime's error paths in the programs on the game disk.
//
// Linked statically, the runtime's own terminate handler prints the exception's demangled type
// name, which brings the demangler and a printf along: some 75 KB in each program. The linker
// cannot drop the unused parts of what it loads, because the exception tables keep every
// function of an object that is linked at all. The definition here takes the place of the
// runtime's: linked as an object ahead of the runtime, it is found first, and the runtime's
// object is never loaded.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

// No console to print the exception on: a GUI program or a DLL ends as the runtime's handler
// ends after printing.
void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx
