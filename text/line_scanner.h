#pragma once
// Cuts a byte stream that arrives in blocks into lines, by the rules of
// LineList::fromBytes: lines end at CR LF, a lone CR or a lone LF, the break
// not being part of the line; the text ends at the first NUL byte; a final
// line without a break is a line, a break at the very end adds no empty
// line. A CR LF split between two blocks is one break, and a line may span
// any number of blocks.
//
// Cost: two memchr passes per block (CR, LF) plus one for NUL; a line that
// lies inside one block is handed out as a view into that block, without a
// copy. Only a line that spans blocks is gathered, so the memory is that of
// the longest such line.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace qv::text {

// Cuts `block` before its first NUL byte, where the text ends; true when it
// held one.
inline bool cutAtNul(std::string_view& block)
{
    const void* nul = std::memchr(block.data(), '\0', block.size());
    if (!nul) return false;
    block = block.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - block.data()));
    return true;
}

// The position of the first `byte` in data[from, size), or size.
inline std::size_t nextByte(const char* data, std::size_t size, std::size_t from, char byte)
{
    if (from >= size) return size;
    const void* hit = std::memchr(data + from, byte, size - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : size;
}

// The line breaks of one block, found one after another: two memchr
// passes over the block (CR, LF), each taken up again only once its last
// find is passed.
class BreakFinder {
public:
    // Searches data[from, size).
    BreakFinder(const char* data, std::size_t size, std::size_t from)
        : data_(data), size_(size), nextCr_(nextByte(data, size, from, '\r')), nextLf_(nextByte(data, size, from, '\n'))
    { }
    // The position of the first CR or LF in data[from, size), or size.
    std::size_t next(std::size_t from)
    {
        if (nextCr_ < from) nextCr_ = nextByte(data_, size_, from, '\r');
        if (nextLf_ < from) nextLf_ = nextByte(data_, size_, from, '\n');
        return std::min(nextCr_, nextLf_);
    }

private:
    const char* data_;
    std::size_t size_;
    std::size_t nextCr_, nextLf_;
};

// What a stream of blocks carries from one block to the next: whether a NUL
// byte has ended the text, and whether the last block ended with a CR, whose
// LF may start the next one.
class BlockEdges {
public:
    // Cuts `block` at a NUL byte and gives where its new text starts (past
    // the LF of a CR LF cut by the block edge); nothing once the text ended.
    std::optional<std::size_t> start(std::string_view& block)
    {
        if (ended_) return std::nullopt;
        ended_ = cutAtNul(block);
        if (!afterCr_ || block.empty()) return 0;
        afterCr_ = false;
        return block[0] == '\n' ? 1 : 0;
    }
    void endedWithCr(bool cr) { afterCr_ = cr; }
    bool ended() const { return ended_; }
    void reset() { afterCr_ = ended_ = false; }

private:
    bool afterCr_ = false;
    bool ended_ = false;
};

class LineScanner {
public:
    // Hands every line that `block` completes to onLine(std::string_view), in
    // order. A view is valid only during its call.
    template <typename OnLine> void feed(std::string_view block, OnLine&& onLine)
    {
        const std::optional<std::size_t> start = edges_.start(block);
        if (!start) return;
        const char* const data = block.data();
        const std::size_t size = block.size();
        std::size_t at = *start;
        BreakFinder breaks(data, size, at);
        for (;;) {
            const std::size_t end = breaks.next(at);
            if (end == size) {
                pending_.append(data + at, size - at);
                return;
            }
            if (pending_.empty()) {
                onLine(std::string_view(data + at, end - at));
            } else {
                pending_.append(data + at, end - at);
                onLine(std::string_view(pending_));
                pending_.clear();
            }
            at = end + 1;
            if (data[end] == '\r') {
                if (at == size)
                    edges_.endedWithCr(true);
                else if (data[at] == '\n')
                    ++at;
            }
        }
    }

    // Ends the text: hands out the last line when it had no break, and makes
    // the scanner ready for a new text.
    template <typename OnLine> void finish(OnLine&& onLine)
    {
        if (!pending_.empty()) onLine(std::string_view(pending_));
        pending_.clear();
        edges_.reset();
    }

    // True once a NUL byte ended the text: later blocks are ignored.
    bool ended() const { return edges_.ended(); }

private:
    std::string pending_; // the start of a line that the next block continues
    BlockEdges edges_;
};

} // namespace qv::text
