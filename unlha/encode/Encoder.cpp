// The LZ77 parsers and the buffer that slides over a file being packed.
#include "Encoder.h"

#include "Crc16.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace lha {
namespace {

constexpr std::array<std::string_view, 3> kEncodable = {"-lh5-", "-lh6-", "-lh7-"};

// Bytes read from the file at a time, beyond the window's history.
constexpr std::size_t kChunk = 1 << 20;
// The lookahead every position needs: a whole match, and eight bytes for wide compares.
constexpr std::uint32_t kLookahead = BlockEncoder::kMaxMatch + 8;
// Packed bytes gathered before they are handed on.
constexpr std::size_t kHandOn = 64 * 1024;

// Lazy parsing: chain links followed, the length that ends a search, the length taken without
// looking one position further, the length after which the next search is shorter, how far
// back a three-byte match is still cheaper than three literals, commands per block.
constexpr int kLazyDepth = 128;
constexpr std::uint32_t kLazyNice = 256;
constexpr std::uint32_t kLazyLimit = 64;
constexpr std::uint32_t kGoodLength = 32;
constexpr std::uint32_t kFarForThree = 2048;
constexpr std::uint32_t kLazyBlock = 32 * 1024;

// Near-optimal parsing: positions per segment (one block each), passes over each, positions
// compared in a tree, and the length from which a match is taken without weighing others.
constexpr std::uint32_t kSegment = BlockEncoder::kMaxCommands;
constexpr int kPasses = 4;
constexpr int kBestDepth = 64;
constexpr std::uint32_t kBestNice = BlockEncoder::kMaxMatch;
constexpr std::uint32_t kInfinite = UINT32_MAX / 2;

// Costs are kept in sixteenths of a bit.
constexpr std::uint32_t kScale = 16;

} // namespace

bool canEncode(std::string_view method) {
    return std::find(kEncodable.begin(), kEncodable.end(), method) != kEncodable.end();
}

Encoder::Encoder(const Method& method, Effort effort)
    : effort_(effort), window_(static_cast<std::uint32_t>(method.window)),
      capacity_(method.window + kChunk), buffer_(new std::uint8_t[capacity_ + kLookahead]),
      // The position alphabet has a slot per bit of the largest offset, plus slot 0; its
      // table-size field is wide enough to hold that count.
      block_(static_cast<int>(std::bit_width(window_)),
             static_cast<int>(std::bit_width(std::bit_width(window_)))) {
    if (effort_ == Effort::Normal) {
        finder_.emplace(window_);
    } else {
        tree_.emplace(window_);
        matchCount_.resize(kSegment);
        matches_.resize(std::size_t{kSegment} * MatchTree::kMaxAll);
        cost_.resize(kSegment + 1);
        stepLength_.resize(kSegment + 1);
        stepDistance_.resize(kSegment + 1);
    }
}

PositionHash& Encoder::positions() {
    if (finder_) return *finder_;
    return *tree_;
}

Status Encoder::handOn(bool all) {
    if (all) bits_.flushBits();
    if (failure_ == Status::Ok && bits_.size() > 0) {
        failure_ = out_->write(bits_.data(), bits_.size());
        written_ += bits_.size();
    }
    bits_.clear();
    return failure_;
}

void Encoder::endBlock() {
    block_.write(bits_);
    if (written_ + bits_.size() >= limit_) full_ = true;
    if (bits_.size() >= kHandOn && handOn(false) != Status::Ok) full_ = true;
}

void Encoder::literal(std::uint8_t byte) {
    block_.literal(byte);
    if (block_.count() == kLazyBlock) endBlock();
}

void Encoder::match(std::uint32_t length, std::uint32_t distance) {
    block_.match(length, distance);
    if (block_.count() == kLazyBlock) endBlock();
}

void Encoder::parseLazy(std::uint32_t end, std::uint32_t fileEnd) {
    const std::uint8_t* const data = buffer_.get();
    std::uint32_t at = at_;
    while (at < end && !full_) {
        const std::uint32_t maxLength =
            std::min<std::uint32_t>(BlockEncoder::kMaxMatch, fileEnd - at);
        Match found;
        if (maxLength >= PositionHash::kHashBytes) {
            if (pending_ && pendingLength_ >= kLazyLimit) {
                finder_->insert(at);
            } else {
                const int depth = pendingLength_ >= kGoodLength ? kLazyDepth / 4 : kLazyDepth;
                found = finder_->longest(at, maxLength, depth, kLazyNice);
                if (found.length == PositionHash::kMinMatch && found.distance > kFarForThree)
                    found = {};
            }
        }
        if (pending_ && pendingLength_ >= PositionHash::kMinMatch &&
            found.length <= pendingLength_) {
            // The match at the position before wins; record the positions it covers.
            match(pendingLength_, pendingDistance_);
            const std::uint32_t next = at - 1 + pendingLength_;
            const std::uint32_t lastInsert = std::min(next, fileEnd - PositionHash::kHashBytes + 1);
            for (std::uint32_t p = at + 1; p < lastInsert; ++p)
                finder_->insert(p);
            at = next;
            pending_ = false;
            pendingLength_ = 0;
            continue;
        }
        if (pending_) literal(data[at - 1]);
        pending_ = true;
        pendingLength_ = found.length;
        pendingDistance_ = found.distance;
        ++at;
    }
    // At the end of the file the last position has no match after it.
    if (at == fileEnd && pending_ && !full_) {
        literal(data[at - 1]);
        pending_ = false;
    }
    at_ = at;
}

void Encoder::findSegmentMatches(std::uint32_t count, std::uint32_t fileEnd) {
    const std::uint32_t start = at_;
    std::uint32_t skip = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t at = start + i;
        const std::uint32_t maxLength = std::min<std::uint32_t>(BlockEncoder::kMaxMatch, count - i);
        matchCount_[i] = 0;
        if (at + PositionHash::kHashBytes > fileEnd) continue;
        // The tree compares as far as the file goes, however near the segment's end.
        const std::uint32_t limit = std::min<std::uint32_t>(BlockEncoder::kMaxMatch, fileEnd - at);
        if (skip > 0 || maxLength < PositionHash::kMinMatch) {
            tree_->insert(at, limit, kBestDepth);
            if (skip > 0) --skip;
            continue;
        }
        Match* const found = &matches_[std::size_t{i} * MatchTree::kMaxAll];
        const int n = tree_->all(at, limit, maxLength, kBestDepth, found);
        matchCount_[i] = static_cast<std::uint8_t>(n);
        // Inside a long match the search finds little else, at a high price: only record.
        if (n > 0 && found[n - 1].length >= kBestNice) skip = found[n - 1].length - 1;
    }
}

void Encoder::setCosts(const std::uint32_t* commandFrequencies,
                       const std::uint32_t* positionFrequencies, Costs& costs) const {
    // -log2 of each symbol's share, with unseen symbols given half an occurrence.
    const auto fill = [](const std::uint32_t* frequencies, int symbols, std::uint32_t* out) {
        double total = 0;
        for (int s = 0; s < symbols; ++s)
            total += frequencies[s] + 0.5;
        for (int s = 0; s < symbols; ++s) {
            const double bits = std::log2(total / (frequencies[s] + 0.5));
            out[s] = static_cast<std::uint32_t>(std::max(1.0, bits) * kScale);
        }
    };
    std::uint32_t command[BlockEncoder::NC];
    fill(commandFrequencies, BlockEncoder::NC, command);
    std::copy_n(command, 256, costs.literal);
    for (int length = PositionHash::kMinMatch; length <= BlockEncoder::kMaxMatch; ++length)
        costs.length[length] = command[length + 256 - PositionHash::kMinMatch];
    const int np = block_.np();
    std::uint32_t position[32];
    fill(positionFrequencies, np, position);
    for (int slot = 0; slot < np; ++slot)
        costs.slot[slot] =
            position[slot] + static_cast<std::uint32_t>(std::max(slot - 1, 0)) * kScale;
}

void Encoder::greedyCosts(std::uint32_t count, Costs& costs) const {
    std::uint32_t command[BlockEncoder::NC] = {};
    std::uint32_t position[32] = {};
    const std::uint8_t* const data = buffer_.get() + at_;
    for (std::uint32_t i = 0; i < count;) {
        if (matchCount_[i] == 0) {
            ++command[data[i]];
            ++i;
            continue;
        }
        const Match& longest = matches_[std::size_t{i} * MatchTree::kMaxAll + matchCount_[i] - 1];
        ++command[longest.length + 256 - PositionHash::kMinMatch];
        ++position[BlockEncoder::slot(longest.distance)];
        i += longest.length;
    }
    setCosts(command, position, costs);
}

void Encoder::cheapestPath(std::uint32_t count, const Costs& costs) {
    const std::uint8_t* const data = buffer_.get() + at_;
    std::uint32_t* const cost = cost_.data();
    std::fill_n(cost + 1, count, kInfinite);
    cost[0] = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t here = cost[i];
        const std::uint32_t viaLiteral = here + costs.literal[data[i]];
        if (viaLiteral < cost[i + 1]) {
            cost[i + 1] = viaLiteral;
            stepLength_[i + 1] = 1;
        }
        const Match* const found = &matches_[std::size_t{i} * MatchTree::kMaxAll];
        std::uint32_t length = PositionHash::kMinMatch;
        for (int k = 0; k < matchCount_[i]; ++k) {
            const std::uint32_t distanceCost =
                here + costs.slot[BlockEncoder::slot(found[k].distance)];
            for (; length <= found[k].length; ++length) {
                const std::uint32_t total = distanceCost + costs.length[length];
                if (total < cost[i + length]) {
                    cost[i + length] = total;
                    stepLength_[i + length] = static_cast<std::uint16_t>(length);
                    stepDistance_[i + length] = static_cast<std::uint16_t>(found[k].distance - 1);
                }
            }
        }
    }
    path_.clear();
    for (std::uint32_t i = count; i > 0;) {
        const std::uint32_t length = stepLength_[i];
        path_.push_back({length, length == 1 ? 0u : stepDistance_[i] + 1u});
        i -= length;
    }
}

void Encoder::pathCosts(std::uint32_t count, Costs& costs) const {
    std::uint32_t command[BlockEncoder::NC] = {};
    std::uint32_t position[32] = {};
    const std::uint8_t* const data = buffer_.get() + at_;
    std::uint32_t i = count;
    for (const Match& step : path_) {
        i -= step.length;
        if (step.length == 1) {
            ++command[data[i]];
        } else {
            ++command[step.length + 256 - PositionHash::kMinMatch];
            ++position[BlockEncoder::slot(step.distance)];
        }
    }
    setCosts(command, position, costs);
}

void Encoder::parseSegment(std::uint32_t end, std::uint32_t fileEnd) {
    const std::uint32_t count = std::min(kSegment, end - at_);
    findSegmentMatches(count, fileEnd);
    if (!haveCosts_) greedyCosts(count, costs_);
    for (int pass = 0; pass < kPasses; ++pass) {
        cheapestPath(count, costs_);
        pathCosts(count, costs_);
    }
    haveCosts_ = true;
    const std::uint8_t* const data = buffer_.get() + at_;
    std::uint32_t i = 0;
    for (auto step = path_.rbegin(); step != path_.rend(); ++step) {
        if (step->length == 1)
            block_.literal(data[i]);
        else
            block_.match(step->length, step->distance);
        i += step->length;
    }
    endBlock();
    at_ += count;
}

Status Encoder::encode(Input& input, std::uint64_t size, std::uint64_t limit, OutputSink& out,
                       Result& result) {
    result = Result{};
    out_ = &out;
    limit_ = limit;
    written_ = 0;
    full_ = false;
    failure_ = Status::Ok;
    at_ = 0;
    pending_ = false;
    pendingLength_ = 0;
    haveCosts_ = false;
    std::uint8_t* const data = buffer_.get();
    positions().reset(data, size);
    Crc16 crc;
    std::uint64_t read = 0;
    std::uint32_t filled = 0;
    while (!full_) {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(capacity_ - filled, size - read));
        std::size_t got = 0;
        if (const Status status = input.readAt(read, data + filled, want, got);
            status != Status::Ok)
            return status;
        if (got < want) return Status::ReadFailed;
        crc.update(data + filled, got);
        read += got;
        filled += static_cast<std::uint32_t>(got);
        const bool last = read == size;
        // Positions before `end` have their whole lookahead in the buffer.
        const std::uint32_t end = last ? filled : filled - kLookahead;
        if (effort_ == Effort::Normal) {
            parseLazy(end, last ? filled : UINT32_MAX);
        } else {
            while (!full_ && at_ < end && (last || end - at_ >= kSegment))
                parseSegment(end, last ? filled : UINT32_MAX);
        }
        if (last) break;
        // Keep the window's history before the next position; slide by whole periods of the
        // match finder's link slots.
        const std::uint32_t period = positions().period();
        const std::uint32_t shift = at_ > window_ ? (at_ - window_) / period * period : 0;
        std::memmove(data, data + shift, filled - shift);
        filled -= shift;
        at_ -= shift;
        positions().slide(shift);
    }
    if (!full_ && block_.count() > 0) endBlock();
    if (full_) {
        // The bits of this file are dropped, so that the next one starts clean.
        block_.discard();
        bits_.flushBits();
        bits_.clear();
        return failure_;
    }
    if (handOn(true) != Status::Ok) return failure_;
    result.packed = written_ < limit;
    result.size = written_;
    result.crc = crc.value();
    return Status::Ok;
}

} // namespace lha
