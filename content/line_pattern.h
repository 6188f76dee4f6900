#pragma once
// Line-pattern replace: every non-empty line of the marked files becomes one
// instance of a line pattern. The line is split into fields at a separator
// chosen once per run (TAB, ";", ":" or a blank, whichever the first line
// that has one holds, in that order of preference); the fields replace the
// parameter names $1, $2 ... of the pattern, and the ${...} calls left in it
// are expanded by the template evaluator with the working text as subject.

#include "content/content_job.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The page's controls as typed (code page 936).
struct LinePatternParams {
    std::string mmPattern;      // memo text, lines joined by CR LF, not trimmed
    std::string edPrefix = "$"; // trimmed when used
    std::string edArgNum = "3"; // integer field; at most 16 names are made
};

// The pattern applied to lines, keeping the separator between calls.
class LinePattern {
public:
    // Names are prefix + 1 ... prefix + min(count, 16); none for count < 1.
    LinePattern(std::string pattern, std::string_view prefix, std::int32_t count);

    // The output text for one source line: nothing for a blank line. The
    // first line holding a candidate byte fixes the separator for every
    // later call.
    std::optional<std::string> apply(std::string_view line);
    // The same appended to `out`: false, nothing appended, for a blank line.
    // Reuses the pattern's buffers, so a run allocates nothing per line.
    bool appendTo(std::string_view line, std::string& out);

    // The separator chosen so far ('\0' while none is).
    char separator() const { return separator_; }

private:
    std::string pattern_;
    std::vector<std::string> names_;
    char separator_ = '\0';
    std::vector<std::string_view> fields_; // of the line being applied
    std::string working_, spare_;
};

// Expands the calls of `working` in place, from the first "}" on: the call that
// closes there (from the last "${" before it) is evaluated with the whole text
// as subject and every occurrence of it is replaced by the result.
//
// Always ends: a "}" whose expansion leaves the text unchanged (one that
// closes no call, or a call that yields itself) is passed over as literal
// text; the scan resumes after each inserted result, so a result that holds
// "}" or the call itself is not expanded again; at most one expansion per "}"
// of the text as given is made, and expansion stops once the text has grown
// past 64 times its size plus 1 MiB. Calls whose results hold no "}" give
// exactly the repeated first-"}" expansion.
void expandCalls(std::string& working);

// Check ("模式格式为空,请输入后再试!", focus mmPattern), run set-up (prefix,
// count: a count that does not convert is a run error) and transform.
ContentJob linePatternJob(const LinePatternParams& params);

OperationResult btnReplaceClick(const LinePatternParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
