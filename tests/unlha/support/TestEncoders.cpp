// Greedy LZ encoders with one hash candidate per position: enough matches, short or long,
// overlapping or not, to exercise the decoders.
#include "TestEncoders.h"

#include "AdaptiveHuffman.h"
#include "Lh1Decoder.h"

#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace lha::test {
namespace {

struct Match {
    std::size_t distance = 0; // 0: no match
    std::size_t length = 0;
};

// Finds matches of `minLength` to `maxLength` bytes at most `window` bytes back.
class MatchFinder {
public:
    MatchFinder(const std::string& data, std::size_t window, std::size_t minLength,
                std::size_t maxLength)
        : data_(data), window_(window), min_(minLength), max_(maxLength) {}

    Match at(std::size_t pos) {
        Match best;
        if (pos + 3 > data_.size()) return best;
        const std::uint32_t key = static_cast<std::uint8_t>(data_[pos]) |
                                  static_cast<std::uint8_t>(data_[pos + 1]) << 8 |
                                  static_cast<std::uint8_t>(data_[pos + 2]) << 16;
        const auto found = last_.find(key);
        // Distance 1 as well, so that runs become overlapping copies.
        for (const std::size_t from :
             {found == last_.end() ? pos : found->second, pos - (pos > 0)}) {
            if (from >= pos || pos - from > window_) continue;
            std::size_t length = 0;
            while (length < max_ && pos + length < data_.size() &&
                   data_[from + length] == data_[pos + length])
                ++length;
            if (length >= min_ && length > best.length) best = {pos - from, length};
        }
        return best;
    }
    void remember(std::size_t pos) {
        if (pos + 3 > data_.size()) return;
        last_[static_cast<std::uint8_t>(data_[pos]) |
              static_cast<std::uint8_t>(data_[pos + 1]) << 8 |
              static_cast<std::uint8_t>(data_[pos + 2]) << 16] = pos;
    }

private:
    const std::string& data_;
    std::size_t window_, min_, max_;
    std::unordered_map<std::uint32_t, std::size_t> last_;
};

// Runs the finder over `data`, calling literal(byte) or match(distance, length).
template <class Literal, class Copy>
void parse(const std::string& data, std::size_t window, std::size_t minLength,
           std::size_t maxLength, Literal literal, Copy copy) {
    MatchFinder finder(data, window, minLength, maxLength);
    for (std::size_t pos = 0; pos < data.size();) {
        const Match m = finder.at(pos);
        const std::size_t step = m.length == 0 ? 1 : m.length;
        if (m.length == 0)
            literal(static_cast<std::uint8_t>(data[pos]));
        else
            copy(m.distance, m.length);
        for (std::size_t k = 0; k < step; ++k)
            finder.remember(pos + k);
        pos += step;
    }
}

std::string encodeLzs(const std::string& data) {
    BitWriter out;
    std::uint32_t ring = 2031;
    parse(
        data, 2047, 2, 17,
        [&](std::uint8_t byte) {
            out.put(1, 1);
            out.put(byte, 8);
            ++ring;
        },
        [&](std::size_t distance, std::size_t length) {
            out.put(0, 1);
            out.put(static_cast<std::uint32_t>((ring - distance) & 2047), 11);
            out.put(static_cast<std::uint32_t>(length - 2), 4);
            ring += static_cast<std::uint32_t>(length);
        });
    return out.bytes();
}

std::string encodeLz5(const std::string& data) {
    std::string out;
    std::string group;
    std::uint8_t flags = 0;
    int items = 0;
    std::uint32_t ring = 4078;
    const auto endItem = [&] {
        if (++items < 8) return;
        out += static_cast<char>(flags);
        out += group;
        group.clear();
        flags = 0;
        items = 0;
    };
    parse(
        data, 4095, 3, 18,
        [&](std::uint8_t byte) {
            flags |= static_cast<std::uint8_t>(1 << items);
            group += static_cast<char>(byte);
            ++ring;
            endItem();
        },
        [&](std::size_t distance, std::size_t length) {
            const std::uint32_t position = (ring - static_cast<std::uint32_t>(distance)) & 4095;
            group += static_cast<char>(position & 0xFF);
            group += static_cast<char>(((position >> 4) & 0xF0) | (length - 3));
            ring += static_cast<std::uint32_t>(length);
            endItem();
        });
    if (items > 0) out += static_cast<char>(flags) + group;
    return out;
}

std::string encodeLh1(const std::string& data) {
    // The position code: canonical codes from the fixed lengths.
    const std::uint8_t* lengths = Lh1Decoder::positionLengths();
    std::vector<std::uint32_t> codes(64);
    std::uint32_t code = 0;
    for (int length = 1; length <= 8; ++length, code <<= 1)
        for (std::size_t s = 0; s < 64; ++s)
            if (lengths[s] == length) codes[s] = code++;

    BitWriter out;
    AdaptiveHuffman tree;
    const auto symbol = [&](int s) {
        std::uint32_t bits = 0;
        int length = 0;
        tree.code(s, bits, length);
        out.put(bits, length);
        tree.update(s);
    };
    parse(
        data, 4096, 3, 60, [&](std::uint8_t byte) { symbol(byte); },
        [&](std::size_t distance, std::size_t length) {
            symbol(static_cast<int>(256 + length - 3));
            const auto position = static_cast<std::uint32_t>(distance - 1);
            out.put(codes[position >> 6], lengths[position >> 6]);
            out.put(position & 0x3F, 6);
        });
    return out.bytes();
}

} // namespace

void BitWriter::put(std::uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        pending_ = pending_ << 1 | (value >> i & 1);
        if (++count_ == 8) {
            bytes_ += static_cast<char>(pending_);
            pending_ = 0;
            count_ = 0;
        }
    }
}

std::string BitWriter::bytes() const {
    return count_ == 0 ? bytes_ : bytes_ + static_cast<char>(pending_ << (8 - count_));
}

std::string encode(const std::string& method, const std::string& content) {
    if (method == "-lh0-" || method == "-lz4-") return content;
    if (method == "-lzs-") return encodeLzs(content);
    if (method == "-lz5-") return encodeLz5(content);
    if (method == "-lh1-") return encodeLh1(content);
    throw std::invalid_argument("no test encoder for " + method);
}

} // namespace lha::test
