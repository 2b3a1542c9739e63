// The runtime's error paths as the disk programs link them: each standard-library failure still
// throws, as a std::exception with the library's own text, and running out of memory is still
// std::bad_alloc. A plain program, since GoogleTest itself needs the runtime's own versions.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <system_error>
#include <vector>

namespace {

struct Case {
    const char* failure;
    std::function<void()> fail;
    std::string text; // what() of the error
};

// The text of what fail() throws; the type's name when it is not a std::exception.
std::string Thrown(const std::function<void()>& fail) {
    try {
        fail();
    } catch (const std::bad_alloc&) {
        return "std::bad_alloc";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "something else";
    }
    return "nothing";
}

} // namespace

int main() {
    const std::string three = "abc";
    std::vector<int> none;
    const std::vector<Case> cases = {
        {"substr beyond the end", [&] { (void)three.substr(5); },
         "basic_string::substr: __pos (which is 5) > this->size() (which is 3)"},
        {"at beyond the end", [&] { (void)three.at(7); },
         "basic_string::at: __n (which is 7) >= this->size() (which is 3)"},
        {"vector at beyond the end", [&] { (void)none.at(1); },
         "vector::_M_range_check: __n (which is 1) >= this->size() (which is 0)"},
        {"string beyond max_size", [&] { std::string s; s.reserve(s.max_size() + 1); },
         "basic_string::_M_create"},
        {"vector beyond max_size", [&] { none.reserve(none.max_size() + 1); }, "vector::reserve"},
        {"string from a null pointer", [] { std::string s(static_cast<const char*>(nullptr)); },
         "basic_string: construction from null is not valid"},
        {"system error", [] { std::__throw_system_error(EAGAIN); }, std::strerror(EAGAIN)},
        {"out of memory", [] { std::vector<char> v(std::vector<char>().max_size() - 1); },
         "std::bad_alloc"},
    };
    int failures = 0;
    for (const Case& c : cases) {
        const std::string thrown = Thrown(c.fail);
        if (thrown == c.text) continue;
        std::printf("%s: threw \"%s\", expected \"%s\"\n", c.failure, thrown.c_str(), c.text.c_str());
        ++failures;
    }
    std::printf("%d of %u cases failed\n", failures, static_cast<unsigned>(cases.size()));
    return failures;
}
