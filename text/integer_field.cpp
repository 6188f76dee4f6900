#include "text/integer_field.h"

#include "text/bytes.h"
#include "text/run_error.h"

namespace qv::text {

int digitValue(char c, int base)
{
    int value = 16;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

namespace {

// Length of the hexadecimal prefix at the start of `s` ("$", "x", "0x"), or 0.
std::size_t hexPrefixLength(std::string_view s)
{
    if (s.empty()) return 0;
    if (s[0] == '$' || s[0] == 'x' || s[0] == 'X') return 1;
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) return 2;
    return 0;
}

} // namespace

std::optional<std::int32_t> tryParseInteger(std::string_view text)
{
    std::size_t at = 0;
    // NUL is not a blank here: it never occurs in typed text and would hide
    // what follows it.
    while (at < text.size() && text[at] != '\0' && isBlank(static_cast<unsigned char>(text[at]))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';

    const std::size_t prefix = hexPrefixLength(text.substr(at));
    const int base = prefix > 0 ? 16 : 10;
    at += prefix;
    if (at == text.size()) return std::nullopt;

    // The largest magnitude allowed, computed in 64 bits so it never wraps.
    const std::uint64_t limit = base == 16 && !negative ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
    std::uint64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const int digit = digitValue(text[at], base);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (magnitude > limit) return std::nullopt;
    }
    const auto bits = static_cast<std::uint32_t>(negative ? 0u - magnitude : magnitude);
    return static_cast<std::int32_t>(bits);
}

std::int32_t parseInteger(std::string_view text)
{
    if (const auto value = tryParseInteger(text)) return *value;
    throw RunError(formatMessage("'%s' is not a valid integer value", text));
}

} // namespace qv::text
