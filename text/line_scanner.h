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

class LineScanner {
public:
    // Hands every line that `block` completes to onLine(std::string_view), in
    // order. A view is valid only during its call.
    template <typename OnLine> void feed(std::string_view block, OnLine&& onLine)
    {
        if (ended_) return;
        ended_ = cutAtNul(block);
        const char* const data = block.data();
        const std::size_t size = block.size();
        std::size_t at = 0;
        if (afterCr_ && size > 0) {
            afterCr_ = false;
            if (data[0] == '\n') at = 1;
        }
        std::size_t nextCr = nextByte(data, size, at, '\r');
        std::size_t nextLf = nextByte(data, size, at, '\n');
        for (;;) {
            const std::size_t end = std::min(nextCr, nextLf);
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
                    afterCr_ = true;
                else if (data[at] == '\n')
                    ++at;
            }
            if (nextCr < at) nextCr = nextByte(data, size, at, '\r');
            if (nextLf < at) nextLf = nextByte(data, size, at, '\n');
        }
    }

    // Ends the text: hands out the last line when it had no break, and makes
    // the scanner ready for a new text.
    template <typename OnLine> void finish(OnLine&& onLine)
    {
        if (!pending_.empty()) onLine(std::string_view(pending_));
        pending_.clear();
        afterCr_ = false;
        ended_ = false;
    }

    // True once a NUL byte ended the text: later blocks are ignored.
    bool ended() const { return ended_; }

private:
    std::string pending_;  // the start of a line that the next block continues
    bool afterCr_ = false; // the last block ended with CR: an LF starting the next one belongs to it
    bool ended_ = false;
};

} // namespace qv::text
