// Contents from a seeded generator, so that a failing case comes back the same.
#include "SampleData.h"

#include <random>

namespace lha::test {

std::string noise(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string data(size, '\0');
    for (char& c : data)
        c = static_cast<char>(random());
    return data;
}

std::string text(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    const char* words[] = {"disk ", "setup ", "game ", "\r\n", "volume ", "folder ", "the "};
    std::string data;
    while (data.size() < size) {
        if (random() % 6 == 0 && data.size() > 300)
            data += data.substr(random() % (data.size() - 200), 20 + random() % 180);
        else if (random() % 5 == 0)
            data += std::to_string(random() % 100000);
        else
            data += words[random() % 7];
    }
    data.resize(size);
    return data;
}

} // namespace lha::test
