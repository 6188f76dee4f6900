#pragma once
// The function table of the template evaluator: the 29 functions a call
// such as "${GetMid(3,8)}" may name, and what each does to the subject.
// Internal to the evaluator; exposed for its tests.

#include "platform/clock.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::evaluator {

enum class Function {
    Unknown,
    Date, Time, RepStr, RepStr2, DelStr, DelRange, DelLeft, DelRight, DelMid, AddLeft,
    AddRight, AddMid, GetLeft, GetRight, GetMid, GetStr, GetStr2, AddMid2, NewLine, Xchg,
    DelStrL, DelStrR, Pos, GetMid2, Gb2Big, Big2Gb, Len, LineOrg, Chs2Num,
};

// The function a call names; ASCII letters compare without regard to case,
// nothing is trimmed ("GetMid", "getmid" and "GETMID" agree, " GetMid" names
// nothing). Cost: a few comparisons, no allocation.
Function findFunction(std::string_view name);

// The argument text of a call cut at commas: a1 up to the first ",", a2 up
// to the second, a3 all the rest (further commas included). Missing
// arguments are empty.
struct Arguments {
    std::string_view a1, a2, a3;
};
Arguments splitArguments(std::string_view text);

// What `function` makes of `subject`. Numeric arguments go through
// EvaluateNumber and are truncated toward zero; positions are computed in 64
// bits, so no argument can push them out of range. Unknown leaves the
// subject unchanged. Throws EvaluatedTextTooLong, before building it, when
// a function that lengthens text would make a result longer than `maxBytes`
// (the caller's bound, never below the subject's length).
std::string applyFunction(Function function, std::string_view subject, const Arguments& args, const Clock& clock,
                          std::size_t maxBytes);

// Throws EvaluatedTextTooLong when a text of `bytes` would pass `maxBytes`.
void requireWithinBound(std::uint64_t bytes, std::size_t maxBytes);

// Marker the exchange function parks its first text under while it swaps.
inline constexpr std::string_view kExchangeMarker = "(!@#$%^&*)";

} // namespace qv::evaluator
