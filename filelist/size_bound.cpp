#include "filelist/size_bound.h"

#include "text/bytes.h"
#include "text/run_error.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace qv {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

[[noreturn]] void refuse(std::string_view text)
{
    throw RunError(formatMessage("'%s' is not a valid floating point value", text));
}

std::int64_t saturate(double value)
{
    constexpr double limit = 9223372036854775807.0;
    if (value >= limit) return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

} // namespace

std::int64_t parseSizeBound(std::string_view text)
{
    const std::string_view s = text::trim(text);
    std::size_t i = 0;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    const std::size_t intBegin = i;
    while (i < s.size() && isDigit(s[i])) ++i;
    const std::size_t intEnd = i;
    std::size_t fractionDigits = 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++fractionDigits;
    }
    if (intEnd == intBegin && fractionDigits == 0) refuse(text);
    bool hasExponent = false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        hasExponent = true;
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
        const std::size_t expBegin = i;
        while (i < s.size() && isDigit(s[i])) ++i;
        if (i == expBegin) refuse(text);
    }
    if (i != s.size()) refuse(text);

    if (hasExponent) {
        // from_chars does not take a leading "+".
        const std::string_view digits = s.substr(s[0] == '+' ? 1 : 0);
        double value = 0;
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (result.ec == std::errc::result_out_of_range) {
            // Overflow saturates; underflow is a value between -1 and 1.
            const auto e = s.find_first_of("eE");
            return s[e + 1] == '-' ? 0
                   : negative      ? std::numeric_limits<std::int64_t>::min()
                                   : std::numeric_limits<std::int64_t>::max();
        }
        if (result.ec != std::errc{}) refuse(text);
        return saturate(std::trunc(value));
    }

    // The integer part, digit by digit, saturating.
    std::uint64_t magnitude = 0;
    constexpr std::uint64_t cap = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1;
    for (std::size_t k = intBegin; k < intEnd; ++k) {
        const auto digit = static_cast<std::uint64_t>(s[k] - '0');
        if (magnitude > (cap - digit) / 10) {
            magnitude = cap;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (negative)
        return magnitude >= cap ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
    return magnitude >= cap ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(magnitude);
}

} // namespace qv
