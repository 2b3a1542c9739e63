// The alphabets of the -lh4- to -lh7- block format, shared by its decoder and its encoder.
#pragma once

namespace lha {

struct StaticHuffmanFormat {
    static constexpr int NT = 19;         // code-length alphabet
    static constexpr int TBIT = 5;        // width of its table-size field
    static constexpr int NC = 510;        // literals 0-255 and match lengths 3-256
    static constexpr int CBIT = 9;        // width of its table-size field
    static constexpr int kMinMatch = 3;   // shortest match a command can copy
    static constexpr int kMaxMatch = 256; // longest match a command can copy
};

} // namespace lha
