#pragma once
// The template evaluator: applies the one call of a template, such as
// "${GetMid(3,8)}", to a subject text (a file's base name, a line, or a whole
// file). All texts are code page 936 byte strings; positions count bytes.

#include "platform/clock.h"

#include <string>
#include <string_view>

namespace qv {

// The subject transformed by the template's call. A template without "${"
// yields itself with its escape sequences converted; a bare variable such as
// "${Ext}" yields its name. Pure apart from reading `clock` for Date and Time;
// never fails, never hangs, whatever the input.
//
// Calls nested in the arguments are evaluated first, innermost first, each
// against `subject`; their results are substituted as plain text: a "${" or
// "}" inside a result (say, from a subject that holds "${HOME}") is never
// evaluated. A nested call that cannot be resolved (a literal "}" before it,
// no closing "}") is left in the argument text as written.
std::string EvaluateTemplate(std::string_view subject, std::string_view templ, const Clock& clock = systemClock());

} // namespace qv
