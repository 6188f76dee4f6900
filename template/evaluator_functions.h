#pragma once
// The function table of the template evaluator: the 29 functions a call
// such as "${GetMid(3,8)}" may name, and what each does to the subject.
// Internal to the evaluator and to prepared templates; exposed for their
// tests.

#include "platform/clock.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::evaluator {

enum class Function {
    Unknown,
    Date,
    Time,
    RepStr,
    RepStr2,
    DelStr,
    DelRange,
    DelLeft,
    DelRight,
    DelMid,
    AddLeft,
    AddRight,
    AddMid,
    GetLeft,
    GetRight,
    GetMid,
    GetStr,
    GetStr2,
    AddMid2,
    NewLine,
    Xchg,
    DelStrL,
    DelStrR,
    Pos,
    GetMid2,
    Gb2Big,
    Big2Gb,
    Len,
    LineOrg,
    Chs2Num,
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

// A call's arguments as its function reads them: the texts, and the values
// of those it takes as numbers (through EvaluateNumber, truncated toward
// zero); numbers it does not take stay 0. Reading them once lets a run apply
// one call to many subjects. The texts view the caller's argument text.
struct ReadArguments {
    Arguments texts;
    std::int64_t n1 = 0, n2 = 0, n3 = 0;
};
ReadArguments readArguments(Function function, const Arguments& args);

// What `function` makes of `subject`, written over `out`, whose memory is
// reused: only functions that build their result elsewhere (RepStr, Xchg,
// Date, Time, the script conversions, Chs2Num) allocate once `out` has
// grown. `subject` and the argument texts must not view `out`. Positions are
// computed in 64 bits, so no argument can push them out of range. Unknown
// leaves the subject unchanged. Throws EvaluatedTextTooLong, before building
// it, when a function that lengthens text would make a result longer than
// `maxBytes` (the caller's bound, never below the subject's length); `out`
// is then unspecified.
void applyFunction(Function function, std::string_view subject, const ReadArguments& args, const Clock& clock,
                   std::size_t maxBytes, std::string& out);

// The same, reading the arguments first and returning the result.
std::string applyFunction(Function function, std::string_view subject, const Arguments& args, const Clock& clock,
                          std::size_t maxBytes);

// The one call of a template whose escape sequences are converted, as it
// reads before any subject is known. Its texts view the template.
struct Call {
    enum class Kind {
        Text,     // no call, or a bare variable such as "${Ext}": the result is `text`
        Function, // `function` (Unknown too) applied to the subject with the argument text `args`
        Nested,   // as Function, but `args` holds calls of its own
    };
    Kind kind = Kind::Text;
    std::string_view text;
    Function function = Function::Unknown;
    std::string_view args;
};
Call readCall(std::string_view templ);

// `templ` with "\t", "\r" and "\n" (either letter case) turned into TAB, CR
// and LF.
std::string convertEscapes(std::string_view templ);

// The bound on the texts one evaluation builds (see maxEvaluatedTextBytes).
std::size_t evaluationBound(std::size_t subjectBytes, std::size_t templateBytes);

// Throws EvaluatedTextTooLong when a text of `bytes` would pass `maxBytes`.
void requireWithinBound(std::uint64_t bytes, std::size_t maxBytes);

// Marker the exchange function parks its first text under while it swaps.
inline constexpr std::string_view kExchangeMarker = "(!@#$%^&*)";

} // namespace qv::evaluator
