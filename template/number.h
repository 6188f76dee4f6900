#pragma once
// Numeric arguments of the template language: arithmetic with + - * / and
// parentheses, read leniently (what does not read as a number counts as 0).

#include <cstdint>
#include <string_view>

namespace qv {

// The value of `text`; 0 for text that holds no number. Never fails.
double EvaluateNumber(std::string_view text);

// `value` truncated toward zero to a 32-bit integer; values beyond the range
// are clamped to it and NaN gives 0.
std::int32_t truncateToInt32(double value);

} // namespace qv
