#include "template/number.h"

#include "support/gbk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace qv {
namespace {

struct NumberCase {
    std::string text;
    double expected;
};

void expectValues(const std::vector<NumberCase>& cases)
{
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(EvaluateNumber(c.text), c.expected) << "text: " << c.text;
}

TEST(EvaluateNumber, ReproducesTheDocumentedExamples)
{
    expectValues({
        {"2*(3+4)", 14},
        {"2+3*4", 14},
        {"2*3+4", 10},
        {"8-2-1", 5},
        {"2-3", -1},
        {"-5", -5},
        {"10/4", 2.5},
        {"1,000", 1000},
        {"3+", 3},
        {"abc", 0},
        {"5abc", 0},
    });
}

TEST(EvaluateNumber, ReadsPlainNumbers)
{
    expectValues({
        {"0", 0},
        {"42", 42},
        {"+5", 5},
        {"007", 7},
        {"1.5", 1.5},
        {".5", 0.5},
        {"5.", 5},
        {"1e3", 1000},
        {"2E2", 200},
        {"-0.25", -0.25},
        {"1 000", 1000},
        {" 12 ", 12},
        {"1,2,3", 123},
    });
}

TEST(EvaluateNumber, TextThatDoesNotReadCountsAsZero)
{
    expectValues({
        {"", 0},
        {" ", 0},
        {",,", 0},
        {"+", 0},
        {"-", 0},
        {".", 0},
        {"1e", 0},
        {"1.2.3", 0},
        {"inf", 0},
        {"nan", 0},
        {"0x10", 0},
        {"1e999", 0},
        {"\t5", 0},
        {testing::gbk("五"), 0},
        {"3" + testing::gbk("个"), 0},
    });
}

TEST(EvaluateNumber, AppliesPrecedenceAndParentheses)
{
    expectValues({
        {"(2+3)*4", 20},
        {"2*(3+4)*5", 70},
        {"2*3-4*5", -14},
        {"10-2+3", 11},
        {"8/2/2", 2},
        {"((1))", 1},
        {"(-5)", -5},
        {"1.5*2", 3},
        {"3 + 4", 7},
    });
}

TEST(EvaluateNumber, TakesAPlusOrMinusAfterAnotherOperatorAsASign)
{
    expectValues({
        {"2*-3", -6},
        {"2--3", 5},
        {"2+-3", -1},
        {"-2*3", -6},
    });
}

// Results of the walk on malformed input, worked out by hand from the rules:
// pieces that do not read are skipped, unmatched parentheses stay on the
// operator stack and stop the final reduction.
TEST(EvaluateNumber, MalformedInputFollowsTheWalk)
{
    expectValues({
        {")(", 0},
        {"(", 0},
        {")", 0},
        {"5)", 5},
        {"-(2)", 2}, // the lone "-" does not read
        {"3*(4", 4}, // "(" blocks the final "*"
        {"2**3", 6}, // the second "*" is left over
        {"1e-3", 3}, // "-" after a digit or letter is an operator; "1e" does not read
        {"1e+3", 3},
        {"2+abc", 2},
        {"abc*4", 4},
    });
}

TEST(EvaluateNumber, DividesOnlyByAtLeastOneMillionth)
{
    expectValues({
        {"1/0", 0},
        {"7/0.0000001", 0},
        {"6/-2", 0},
        {"1/0.000001", 1000000},
        {"9/3", 3},
    });
}

TEST(EvaluateNumber, SurvivesLongAndDeepInput)
{
    EXPECT_DOUBLE_EQ(EvaluateNumber(std::string(1000, '(') + "7" + std::string(1000, ')')), 7);
    std::string sum = "1";
    for (int i = 0; i < 999; ++i) sum += "+1";
    EXPECT_DOUBLE_EQ(EvaluateNumber(sum), 1000);
    std::string product = "1";
    for (int i = 0; i < 40; ++i) product += "*2";
    EXPECT_DOUBLE_EQ(EvaluateNumber(product), 1099511627776.0);
}

TEST(TruncateToInt32, TruncatesTowardZero)
{
    EXPECT_EQ(truncateToInt32(1.9), 1);
    EXPECT_EQ(truncateToInt32(-1.9), -1);
    EXPECT_EQ(truncateToInt32(2.5), 2);
    EXPECT_EQ(truncateToInt32(0.9), 0);
    EXPECT_EQ(truncateToInt32(-0.5), 0);
    EXPECT_EQ(truncateToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(truncateToInt32(-2147483648.0), std::numeric_limits<std::int32_t>::min());
}

TEST(TruncateToInt32, ClampsOutOfRangeAndMapsNanToZero)
{
    EXPECT_EQ(truncateToInt32(3e9), 2147483647);
    EXPECT_EQ(truncateToInt32(2147483647.5), 2147483647);
    EXPECT_EQ(truncateToInt32(-3e9), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(truncateToInt32(std::numeric_limits<double>::infinity()), 2147483647);
    EXPECT_EQ(truncateToInt32(-std::numeric_limits<double>::infinity()), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(truncateToInt32(std::nan("")), 0);
    EXPECT_EQ(truncateToInt32(EvaluateNumber("1e308*10-1e308*10")), 0); // inf - inf
}

} // namespace
} // namespace qv
