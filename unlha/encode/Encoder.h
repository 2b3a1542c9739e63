// Packing one file with -lh5-, -lh6- or -lh7-: LZ77 parsing, lazy over hash chains or
// near-optimal over binary trees, into blocks of static Huffman codes.
#pragma once

#include "BitWriter.h"
#include "BlockEncoder.h"
#include "Input.h"
#include "MatchFinder.h"
#include "MatchTree.h"
#include "Methods.h"
#include "OutputWindow.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace lha {

// Whether the encoder writes this method ("-lh5-", "-lh6-", "-lh7-").
bool canEncode(std::string_view method);

class Encoder {
public:
    enum class Effort {
        Normal, // lazy matching: quick, and at least as small as the classic tools
        Best,   // near-optimal parsing with costs from the codes: slower, smaller
    };
    struct Result {
        bool packed = false;    // false: packing would not have made the file smaller
        std::uint64_t size = 0; // bytes of packed data written (when packed)
        std::uint16_t crc = 0;  // CRC-16 of the file (when packed)
    };

    // `method` is one that canEncode() accepts.
    Encoder(const Method& method, Effort effort);

    // Packs the `size` bytes of `input` into `out`. Gives up (result.packed false) once the
    // packed data reaches `limit` bytes. ReadFailed when the input falls short of `size`; the
    // sink's status when writing fails.
    Status encode(Input& input, std::uint64_t size, std::uint64_t limit, OutputSink& out,
                  Result& result);

private:
    // Near-optimal parsing: per segment, the matches of every position, then the cheapest
    // path through them under the code lengths of the previous pass.
    struct Costs {
        std::uint32_t literal[256];                        // in 1/16 bit
        std::uint32_t length[BlockEncoder::kMaxMatch + 1]; // by match length
        std::uint32_t slot[32];                            // position code plus extra bits
    };

    void parseLazy(std::uint32_t end, std::uint32_t fileEnd);
    void parseSegment(std::uint32_t end, std::uint32_t fileEnd);
    void findSegmentMatches(std::uint32_t count, std::uint32_t fileEnd);
    void cheapestPath(std::uint32_t count, const Costs& costs);
    void pathCosts(std::uint32_t count, Costs& costs) const;
    void greedyCosts(std::uint32_t count, Costs& costs) const;
    void setCosts(const std::uint32_t* commandFrequencies, const std::uint32_t* positionFrequencies,
                  Costs& costs) const;
    // Commands of the lazy parser, in blocks of kLazyBlock.
    void literal(std::uint8_t byte);
    void match(std::uint32_t length, std::uint32_t distance);
    void endBlock();
    Status handOn(bool all);
    PositionHash& positions();

    Effort effort_;
    std::uint32_t window_;
    std::size_t capacity_;                   // bytes of the buffer used for data
    std::unique_ptr<std::uint8_t[]> buffer_; // the window's history, then bytes to pack
    std::optional<MatchFinder> finder_; // the lazy parser's
    std::optional<MatchTree> tree_;     // the near-optimal parser's
    BlockEncoder block_;
    BitWriter bits_;
    OutputSink* out_ = nullptr;
    std::uint64_t limit_ = 0;
    std::uint64_t written_ = 0; // packed bytes handed to out_
    bool full_ = false;         // the packed data reached the limit
    Status failure_ = Status::Ok;

    // The lazy parser's state between buffer loads.
    std::uint32_t at_ = 0;            // the position to look at next
    bool pending_ = false;            // the position before at_ still needs a command
    std::uint32_t pendingLength_ = 0; // its match, if any
    std::uint32_t pendingDistance_ = 0;

    // The near-optimal parser's segment.
    std::vector<std::uint8_t> matchCount_;  // per position
    std::vector<Match> matches_;            // MatchTree::kMaxAll per position
    std::vector<std::uint32_t> cost_;       // cheapest cost to reach each position
    std::vector<std::uint16_t> stepLength_; // the last command on that path: 1 for a literal
    std::vector<std::uint16_t> stepDistance_;
    std::vector<Match> path_; // the commands of the cheapest path, last first
    Costs costs_;
    bool haveCosts_ = false; // costs_ hold the previous segment's
};

} // namespace lha
