// Stand-ins for the C++ runtime's error paths in the programs on the game disk.
//
// Linked statically, the runtime's own versions cost each program well over 100 KB: its
// terminate handler prints the exception's demangled type name (the demangler and a printf),
// and its throw helpers build std::logic_error and friends, whose message strings pull in a
// second, reference-counted std::string with everything else in their objects. The linker
// cannot drop the unused parts, because the exception tables keep every function of an object
// that is linked at all. These definitions take the place of those objects: linked as an
// object ahead of the runtime, they are found first, and the runtime's are never loaded.
// Should another runtime object need one of the helpers not defined here, the link fails
// with "multiple definition", and the helper belongs here.
//
// The programs catch these errors only as std::exception (the installer shows what() in its
// error box) or as "...", so an error keeps its text but not its standard type.
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

namespace __gnu_cxx {

// The runtime's own small formatter (%s, %zu, %%), which its throw helpers use.
int __snprintf_lite(char* buffer, std::size_t size, const char* format, va_list arguments);

// No console to print the exception on: a GUI program or a DLL ends as the runtime's handler
// ends after printing.
void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx

namespace {

// A failed precondition of the standard library (a length beyond max_size(), a position
// beyond the end), with the library's text.
class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* text) { std::strncpy(text_, text, sizeof text_ - 1); }
    LibraryError(const char* format, va_list arguments) {
        __gnu_cxx::__snprintf_lite(text_, sizeof text_, format, arguments);
    }
    const char* what() const noexcept override { return text_; }

private:
    char text_[512] = "";
};

} // namespace

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_logic_error(const char* text) {
    throw LibraryError(text);
}
void __throw_length_error(const char* text) {
    throw LibraryError(text);
}
void __throw_out_of_range(const char* text) {
    throw LibraryError(text);
}
void __throw_out_of_range_fmt(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const LibraryError error(format, arguments);
    va_end(arguments);
    throw error;
}
// From std::thread and std::mutex, with the system's text for the error number.
void __throw_system_error(int error) {
    throw LibraryError(std::strerror(error));
}

} // namespace std
