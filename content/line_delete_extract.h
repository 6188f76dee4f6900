#pragma once
// Delete lines and extract lines: the twin operations that choose lines of
// every marked file by number, by interval, by keyword or (delete only) by
// being blank, and write every line except the chosen ones, or only those.

#include "content/content_job.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// One entry of a range list: lines low to high, low <= high.
struct LineRange {
    std::int32_t low = 0;
    std::int32_t high = 0;
    friend bool operator==(const LineRange&, const LineRange&) = default;
};

// A range list such as "3,5-8": entries separated by "," or blanks (the
// delimited-text rule with the double quote as quote), each a number v (the
// pair v, v; a leading "-" is a sign) or two numbers around the first "-",
// taken in either order ("8-5" is 5-8). Kept in the order typed, however
// many. Throws RunError for a part that is not an integer ("3-", "1-2-3").
std::vector<LineRange> parseRangeList(std::string_view text);

enum class DeleteMode {
    LineNumbers, // rbDelLineNo
    Interval,    // rbDelLine
    Keywords,    // rbDelKeys
    BlankLines,  // rbDelEmpty
};

// The delete page's controls as typed (code page 936).
struct DeleteLinesParams {
    DeleteMode mode = DeleteMode::LineNumbers;
    std::string edtDelLineNo = "1"; // range list
    std::string edtLines = "2";     // interval N
    std::string edtLineNum = "1";   // position M
    std::string edtDelKeys;         // keyword list
};

enum class ExtractMode {
    LineNumbers, // rbGeLineNo
    Interval,    // rbGetLine
    Keywords,    // rbGetKeys
};

// The extract page's controls as typed (code page 936).
struct ExtractLinesParams {
    ExtractMode mode = ExtractMode::LineNumbers;
    std::string edtGetLineNum = "1"; // range list
    std::string edtGetLines = "2";   // interval N
    std::string edtGetLineNo = "1";  // position M
    std::string edtGetKeys;          // keyword list
    bool chkGetNoneLine = true;      // take blank lines (interval and keyword modes)
};

// Delete: "删除关键字为空,请输入后再试!" (focus edtDelKeys) for keyword mode
// with an empty box; in interval mode an N below 1 is refused (focus
// edtLines). The range list, N and M are read in every mode when the run
// starts. By line numbers the entries are applied from the last typed to the
// first, each deleting its lines from the lines still left, so "3,5-8"
// deletes those source lines and "5-8,3" deletes 3 and 6 to 9.
// Cost: O(lines + deleted lines x log lines) whatever the ranges.
ContentJob deleteLinesJob(const DeleteLinesParams& params);
OperationResult btnDelLineClick(const DeleteLinesParams& params, Workspace& ws, Host& host, FileSystem& fs);

// Extract: "提取关键字为空,请输入后再试!" (focus edtGetKeys); interval N below 1
// refused (focus edtGetLines). By line numbers the lines of each entry are
// taken in the order typed, repeats included ("5,1-2" gives 5, 1, 2).
ContentJob extractLinesJob(const ExtractLinesParams& params);
OperationResult btnGetLineClick(const ExtractLinesParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
