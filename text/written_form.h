#pragma once
// Copies a byte stream that arrives in blocks as its written form: the text
// up to the first NUL byte, every line break (CR LF, a lone CR or a lone LF)
// written as CR LF, and a final line without a break given one. It is what
// joining the lines of LineList::fromBytes with CR LF gives, without cutting
// the text into lines: runs that are already in that form (a file with CR LF
// breaks) are copied whole, so only lone CRs and LFs cost a step each.

#include "text/line_scanner.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace qv::text {

class WrittenFormCopier {
public:
    // Appends the written form of `block`, the next piece of the text, to
    // `out`. Nothing once a NUL byte has ended the text.
    void feed(std::string_view block, std::string& out)
    {
        const std::optional<std::size_t> start = edges_.start(block);
        if (!start) return;
        const char* const data = block.data();
        const std::size_t size = block.size();
        std::size_t at = *start;   // past the LF of a CR LF cut by the block edge
        std::size_t runStart = at; // bytes from here on are copied as they are
        BreakFinder breaks(data, size, at);
        for (;;) {
            const std::size_t end = breaks.next(at);
            if (end == size) break;
            if (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') {
                at = end + 2; // CR LF: already written form, the run goes on
            } else {
                out.append(data + runStart, end - runStart).append("\r\n");
                edges_.endedWithCr(data[end] == '\r' && end + 1 == size);
                lineOpen_ = false;
                at = runStart = end + 1;
            }
        }
        // The run left ends with a CR LF or inside a line: lone breaks cut it.
        if (size > runStart) {
            out.append(data + runStart, size - runStart);
            lineOpen_ = !endsWithCrLf(data, size, runStart);
        }
    }

    // Ends the text: gives a final line without a break its CR LF, and makes
    // the copier ready for a new text.
    void finish(std::string& out)
    {
        if (lineOpen_) out.append("\r\n");
        lineOpen_ = false;
        edges_.reset();
    }

    // True once a NUL byte ended the text: later blocks are ignored.
    bool ended() const { return edges_.ended(); }

private:
    // True when the run data[runStart, size) ends with a CR LF break.
    static bool endsWithCrLf(const char* data, std::size_t size, std::size_t runStart)
    {
        return size - runStart >= 2 && data[size - 2] == '\r' && data[size - 1] == '\n';
    }

    BlockEdges edges_;      // a lone CR at a block's end is already written as CR LF
    bool lineOpen_ = false; // bytes of a line have been written but not its break
};

} // namespace qv::text
