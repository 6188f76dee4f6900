#include "template/number.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace qv {
namespace {

constexpr double kSmallestDivisor = 0.000001;

// Operator ranks: the parentheses rank above 10 and are never applied.
constexpr int rankOf(char ch)
{
    switch (ch) {
    case '(': return 11;
    case ')': return 12;
    case '*':
    case '/': return 2;
    case '+':
    case '-': return 1;
    default: return 0;
    }
}

constexpr bool isDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

// Reads `piece` as a whole number: optional sign, digits with an optional "."
// and fraction (at least one digit in all), optional exponent. Nothing else
// reads: no blanks, no hexadecimal, no "inf" or "nan". A value beyond the
// range of double does not read either.
bool readNumber(std::string_view piece, double& value)
{
    std::size_t i = 0;
    const std::size_t n = piece.size();
    bool negative = false;
    if (i < n && (piece[i] == '+' || piece[i] == '-')) negative = piece[i++] == '-';
    const std::size_t bodyStart = i;
    std::size_t digits = 0;
    while (i < n && isDigit(piece[i])) ++i, ++digits;
    if (i < n && piece[i] == '.') {
        ++i;
        while (i < n && isDigit(piece[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (piece[i] == 'e' || piece[i] == 'E')) {
        ++i;
        if (i < n && (piece[i] == '+' || piece[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < n && isDigit(piece[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    if (i != n) return false;
    // from_chars takes no "+" in the exponent's place either way, but the
    // leading sign is ours to apply; the body is known to be well formed.
    double body = 0;
    const auto [end, error] = std::from_chars(piece.data() + bodyStart, piece.data() + n, body);
    if (error != std::errc() || end != piece.data() + n) return false;
    value = negative ? -body : body;
    return true;
}

// A stack that keeps its first elements inline, so short expressions cost no
// allocation.
template <typename T> class SmallStack {
public:
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    T top() const { return size_ <= inline_.size() ? inline_[size_ - 1] : spill_.back(); }
    void push(T value)
    {
        if (size_ < inline_.size())
            inline_[size_] = value;
        else
            spill_.push_back(value);
        ++size_;
    }
    T pop()
    {
        const T value = top();
        if (size_ > inline_.size()) spill_.pop_back();
        --size_;
        return value;
    }

private:
    std::array<T, 16> inline_{};
    std::vector<T> spill_;
    std::size_t size_ = 0;
};

double apply(char op, double left, double right)
{
    switch (op) {
    case '+': return left + right;
    case '-': return left - right;
    case '*': return left * right;
    case '/': return right >= kSmallestDivisor ? left / right : 0.0;
    default: return 0.0;
    }
}

void applyTop(SmallStack<double>& numbers, SmallStack<char>& operators)
{
    const double right = numbers.pop();
    const double left = numbers.pop();
    numbers.push(apply(operators.pop(), left, right));
}

void pushIfNumber(SmallStack<double>& numbers, std::string_view piece)
{
    double value = 0;
    if (readNumber(piece, value)) numbers.push(value);
}

// The operator-precedence walk over text already stripped of blanks and
// commas. Positions are 0-based here; `start` is where the current piece
// begins.
double evaluateStripped(std::string_view text)
{
    SmallStack<double> numbers;
    SmallStack<char> operators;
    const std::size_t length = text.size();
    std::size_t start = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char ch = text[i];
        const int rank = rankOf(ch);
        if (rank == 0) {
            if (i + 1 == length) pushIfNumber(numbers, text.substr(start, i - start + 1));
            continue;
        }
        if (i == 0) {
            // A leading sign belongs to the first number.
            if (ch == '+' || ch == '-') continue;
            operators.push(ch);
            start = 1;
            continue;
        }
        const char before = text[i - 1];
        if ((ch == '+' || ch == '-') && rankOf(before) > 0 && before != ')') continue; // a sign
        if (i > start) pushIfNumber(numbers, text.substr(start, i - start));
        start = i + 1;
        if (operators.empty()) {
            operators.push(ch);
            continue;
        }
        while (!operators.empty() && numbers.size() >= 2 && rankOf(operators.top()) < 10 &&
               (rankOf(operators.top()) >= rank || ch == ')'))
            applyTop(numbers, operators);
        if (!operators.empty() && operators.top() == '(' && ch == ')')
            operators.pop();
        else
            operators.push(ch);
    }
    while (numbers.size() >= 2 && !operators.empty() && rankOf(operators.top()) < 10) applyTop(numbers, operators);
    return numbers.empty() ? 0.0 : numbers.top();
}

bool isStripped(char ch)
{
    return ch == ' ' || ch == ',';
}

} // namespace

double EvaluateNumber(std::string_view text)
{
    // Most numeric arguments are a plain number: no operator after the first
    // byte and nothing to strip. Such a text is one piece.
    bool plain = !text.empty() && rankOf(text[0]) <= 1 && !isStripped(text[0]);
    for (std::size_t i = 1; plain && i < text.size(); ++i) plain = rankOf(text[i]) == 0 && !isStripped(text[i]);
    if (plain) {
        double value = 0;
        return readNumber(text, value) ? value : 0.0;
    }

    std::string stripped;
    stripped.reserve(text.size());
    for (const char ch : text)
        if (!isStripped(ch)) stripped.push_back(ch);
    if (stripped.empty()) return 0.0;
    return evaluateStripped(stripped);
}

std::int32_t truncateToInt32(double value)
{
    if (std::isnan(value)) return 0;
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (value <= lowest) return std::numeric_limits<std::int32_t>::min();
    if (value >= highest) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value); // truncates toward zero
}

} // namespace qv
