#pragma once
// The tip strip's logic: tip lines, which text to rotate through, and when a
// download may replace the cached tips. The window does the downloading, the
// file access and the showing.
//
// A tip file is text lines (CR LF, CR or LF); each tip line is the tip text,
// the three bytes "@#$" and the tip's link (a web address or a file to open).
// Bytes are kept as they stand.

#include "filelist/random_index.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The largest tips download that is used; the tips file is a few kilobytes,
// so a longer body is cut off, read no further and thrown away.
constexpr std::size_t maxTipFileBytes = std::size_t{1} << 20;

// The most characters of a tip text that are shown.
constexpr int maxShownTipCharacters = 200;

struct Tip {
    std::string text;
    std::string link; // empty: clicking the tip does nothing
};

// Splits one tip line at its first "@#$". A line without "@#$" is a tip text
// without a link.
Tip parseTipLine(std::string_view line);

// True when a tip's link may be opened: an absolute "http://" or "https://"
// address (scheme in any case) with a host, and no control bytes or spaces.
// The tips come from the network, so anything else (local files, relative
// names, other schemes, programs) is never handed to the desktop's opener.
bool isOpenableTipLink(std::string_view link);

// The non-empty lines of a tip file, in order.
std::vector<std::string> tipLines(std::string_view fileText);

// True when a finished download should replace the cached tips: only a
// successful download that holds at least one tip line does, so a failed,
// empty or oversized (cut off) download keeps the tips cached by an earlier
// run.
bool downloadReplacesCache(bool succeeded, std::string_view body);

// The text to rotate through: the cache when it holds a tip line, otherwise
// the tips shipped with the program.
std::string_view tipSource(const std::optional<std::string>& cache, std::string_view shipped);

// The strip's state in the workspace. Created empty; the front end fetches
// once, loads, then shows one tip per tick.
class TipRotation {
public:
    // True once the front end has started its one fetch of this run.
    bool fetched() const { return fetched_; }
    void markFetched() { fetched_ = true; }

    // Replaces the tips with the tip lines of `fileText`.
    void load(std::string_view fileText) { lines_ = tipLines(fileText); }
    std::size_t size() const { return lines_.size(); }

    // Picks a random tip (the same one may come twice in a row) and makes its
    // link the current one; a link that is not openable becomes an empty
    // one, so the tip shows as plain text. Without tips: nullopt, and the
    // link stays.
    std::optional<Tip> next(RandomIndex& random);
    const std::string& link() const { return link_; }

private:
    bool fetched_ = false;
    std::vector<std::string> lines_;
    std::string link_;
};

} // namespace qv
