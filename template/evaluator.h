#pragma once
// The template evaluator: applies the one call of a template, such as
// "${GetMid(3,8)}", to a subject text (a file's base name, a line, or a whole
// file). All texts are code page 936 byte strings; positions count bytes.

#include "platform/clock.h"
#include "text/run_error.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace qv {

// The most bytes any one text built during an evaluation may hold: a nested
// call's argument text once results are substituted, or a function's result.
// A subject or template that is already longer than this sets the bound for
// its own evaluation instead, so a big file may still pass through a function
// that does not grow it. Growth is measured before the text is built, so an
// evaluation never holds more than a small multiple of the bound.
inline constexpr std::size_t maxEvaluatedTextBytes = std::size_t{256} << 20;

// Thrown when an evaluation would build a text longer than its bound. The
// message is "生成的文本超过 256 MB 的上限，处理已停止！" in code page 936; a
// content run that meets it ends there and writes no output for that file.
class EvaluatedTextTooLong : public RunError {
public:
    EvaluatedTextTooLong();
};

// The subject transformed by the template's call. A template without "${"
// yields itself with its escape sequences converted; a bare variable such as
// "${Ext}" yields its name. Pure apart from reading `clock` for Date and Time;
// never hangs, whatever the input. Throws EvaluatedTextTooLong when the call
// (say "${RepStr(a,${LineOrg()}${LineOrg()})}" on a long subject full of "a")
// would build a text longer than maxEvaluatedTextBytes; nothing else fails.
//
// Calls nested in the arguments are evaluated first, innermost first, each
// against `subject`; each result is substituted for every occurrence of the
// same call text (letter case ignored) as plain text: a "${" or "}" inside a
// result (say, from a subject that holds "${HOME}") is never evaluated. A
// nested call that cannot be resolved (a literal "}" before it, no closing
// "}") is left in the argument text as written.
//
// Cost: about linear in the template and the texts the calls produce; 10,000
// nested calls take milliseconds.
std::string EvaluateTemplate(std::string_view subject, std::string_view templ, const Clock& clock = systemClock());

} // namespace qv
