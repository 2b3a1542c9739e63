// The method table.
#include "Methods.h"

#include "Lh1Decoder.h"
#include "Lz5Decoder.h"
#include "LzsDecoder.h"
#include "StaticHuffmanDecoder.h"
#include "StoredDecoder.h"

#include <array>

namespace lha {
namespace {

template <int NP, int PBIT> std::unique_ptr<Decoder> makeStaticHuffman() {
    return std::make_unique<StaticHuffmanDecoder>(NP, PBIT);
}

template <class D> std::unique_ptr<Decoder> make() {
    return std::make_unique<D>();
}

// The static-Huffman windows are those the position codes can reach: 2^(NP-1) bytes. For
// -lh4- that is 8 KiB although its encoders used 4 KiB.
const std::array<Method, 10> kMethods = {{
    {"-lh0-", 0, make<StoredDecoder>},
    {"-lz4-", 0, make<StoredDecoder>},
    {"-lh1-", 4096, make<Lh1Decoder>},
    {"-lh4-", 1 << 13, makeStaticHuffman<14, 4>},
    {"-lh5-", 1 << 13, makeStaticHuffman<14, 4>},
    {"-lh6-", 1 << 15, makeStaticHuffman<16, 5>},
    {"-lh7-", 1 << 16, makeStaticHuffman<17, 5>},
    {"-lhx-", 1 << 19, makeStaticHuffman<20, 5>},
    {"-lzs-", 2048, make<LzsDecoder>},
    {"-lz5-", 4096, make<Lz5Decoder>},
}};

} // namespace

const Method* findMethod(std::string_view id) {
    for (const Method& method : kMethods)
        if (method.id == id) return &method;
    return nullptr;
}

} // namespace lha
