#pragma once
// Random templates and subjects for comparing a prepared template with full
// evaluation, shared by the unit test and the fuzzer.
//
// Templates follow the call grammar, biased to real function names in any
// letter case, with argument texts made of numbers (negative, huge, with
// operators), blanks, commas, parentheses, nested calls, escapes, GBK
// characters and invalid bytes; some are broken on purpose (no "(", no
// closing brace, text before or after the call). Subjects draw on the same
// pieces, so arguments often match inside them.
//
// `Source` gives every choice: `std::size_t pick(std::size_t n)` returns a
// value below n (n >= 1).

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace qv::testing {

inline constexpr std::array<std::string_view, 33> kTemplateFunctionNames = {
    "GetMid",  "GetLeft", "GetRight", "AddLeft", "AddRight", "DelMid",   "DelLeft", "DelRight", "AddMid",
    "AddMid2", "RepStr",  "RepStr2",  "DelStr",  "DelRange", "GetStr",   "GetStr2", "NewLine",  "Xchg",
    "DelStrL", "DelStrR", "Pos",      "GetMid2", "Gb2Big",   "Big2Gb",   "Len",     "LineOrg",  "Chs2Num",
    "Date",    "Time",    "Foo",      "",        " GetMid",  "getmid2x",
};

// Pieces of argument and subject text: numbers of every shape, markers,
// escapes, GBK characters (中 文 亇, whose second byte is "}"), a pair that
// straddles two characters, and bytes that start or are no character.
inline constexpr std::array<std::string_view, 40> kTextPieces = {
    "3",    "0",   "-2",       "8",        "2147483647", "-2147483648", "99999999999", "1e300", "1+2",  "(3)*2",
    " 4",   "0.9", "-",        "a",        "ab",         "key",         "=",           "[",     "]",    ",",
    "(",    ")",   " ",        "$",        "{",          "}",           "${",          "\\t",   "\\N",  "\\r",
    "\\\\", "\\",  "\xD6\xD0", "\xCE\xC4", "\x81\x7D",   "\xD0\xCE",    "\x81",        "\xFF",  "\x80", "\xD2\xBB",
};

template <typename Source> bool oneIn(Source& source, std::size_t n)
{
    return source.pick(n) == 0;
}

template <typename Source> std::string randomName(Source& source)
{
    // The common per-line functions come first and are drawn twice as often.
    const std::size_t index = oneIn(source, 2) ? source.pick(10) : source.pick(kTemplateFunctionNames.size());
    std::string name(kTemplateFunctionNames[index]);
    const std::size_t letterCase = source.pick(4);
    for (char& ch : name) {
        if (letterCase == 1 && ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
        if (letterCase == 2 && ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    }
    return name;
}

template <typename Source> std::string randomText(Source& source, int depth);

template <typename Source> std::string randomCall(Source& source, int depth)
{
    std::string call = "${" + randomName(source);
    if (oneIn(source, 12)) return call + (oneIn(source, 2) ? "}" : ""); // a bare variable, or cut short
    call += "(" + randomText(source, depth + 1);
    const std::size_t arguments = source.pick(4);
    for (std::size_t i = 0; i < arguments; ++i) call += "," + randomText(source, depth + 1);
    if (!oneIn(source, 10)) call += ")";
    if (!oneIn(source, 10)) call += "}";
    return call;
}

template <typename Source> std::string randomText(Source& source, int depth)
{
    std::string text;
    const std::size_t pieces = source.pick(4);
    for (std::size_t i = 0; i < pieces; ++i) {
        const std::size_t kind = source.pick(16);
        if (kind == 0 && depth < 3)
            text += randomCall(source, depth);
        else if (kind == 1)
            text += static_cast<char>(source.pick(256));
        else
            text += kTextPieces[source.pick(kTextPieces.size())];
    }
    return text;
}

template <typename Source> std::string randomTemplate(Source& source)
{
    if (oneIn(source, 20)) return randomText(source, 0);
    std::string templ = oneIn(source, 6) ? randomText(source, 1) : "";
    templ += randomCall(source, 0);
    if (oneIn(source, 6)) templ += randomText(source, 1);
    return templ;
}

template <typename Source> std::string randomSubject(Source& source)
{
    std::string subject;
    const std::size_t pieces = source.pick(12);
    for (std::size_t i = 0; i < pieces; ++i)
        subject += oneIn(source, 8) ? std::string(1, static_cast<char>(source.pick(256)))
                                    : std::string(kTextPieces[source.pick(kTextPieces.size())]);
    return subject;
}

} // namespace qv::testing
