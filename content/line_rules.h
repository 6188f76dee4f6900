#pragma once
// Line tests shared by the line operations: the interval rule, keyword
// matching and blank lines, plus the refusal of an interval that cannot
// select anything.

#include "content/content_job.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Which lines a cut or an insert template touches.
enum class TemplateLines {
    All,        // rbCutAllLine, rbAllLine
    WithText,   // rbCutTextLine, rbDataLine: lines that are not empty (a line of blanks counts)
    LineNumber, // rbCutLineNo, rbInsLineNo: the one line the line-number field names
    Keyword,    // rbCutKeysLine, rbKeys: lines that contain the keyword field's text
};

// True when `lines` touches `line`: always for All, a line that is not
// empty for WithText, one containing `keyword` for Keyword; never for
// LineNumber, whose line the caller counts.
bool touchesLine(TemplateLines lines, std::string_view keyword, std::string_view line);

// "Every N lines, the M-th": line l (1-based) matches when l mod N equals M,
// where M below 1 counts as 1 and M of N or more counts as 0. So N = 2, M = 1
// matches lines 1, 3, 5 ...; N = 3, M = 3 matches 3, 6, 9 ...; N = 1 matches
// every line. N must be at least 1 (see intervalRefusal).
class IntervalRule {
public:
    IntervalRule() = default;
    IntervalRule(std::int32_t n, std::int32_t m);
    bool matches(std::int64_t lineNumber) const { return lineNumber % n_ == m_; }

private:
    std::int64_t n_ = 1;
    std::int64_t m_ = 0;
};

// The interval N typed in `text` must be at least 1: dividing by 0 or a
// negative count selects nothing sensible. Gives the refusal "间隔行数必须大于0,
// 请输入后再试!" with the focus on `focus` when the text converts to 0 or less;
// nothing when it is fine or does not convert at all (that is the run error
// reported when the field is read).
std::optional<Refusal> intervalRefusal(std::string_view text, std::string focus);

// True when at least one non-empty keyword occurs in `line` (letter case
// matters; a match starts on a character boundary).
bool containsAnyKeyword(std::string_view line, const std::vector<std::string>& keywords);

// True for a line that is empty or holds only bytes of value 1 to 32.
bool isBlankLine(std::string_view line);

// The refusals of a template that must hold a call: `emptyMessage` when the
// trimmed template is empty, `noCallMessage` when it holds no "${". Texts are
// UTF-8 and come back in code page 936. Either refusal sends the focus to
// `box`, the template's edit box.
std::optional<Refusal> templateRefusal(std::string_view trimmedTemplate, std::string_view emptyMessage,
                                       std::string_view noCallMessage, std::string_view box);

} // namespace qv
