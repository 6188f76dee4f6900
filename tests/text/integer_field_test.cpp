#include "text/integer_field.h"

#include "support/run_error_message.h"
#include "text/run_error.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::text {
namespace {

using namespace std::string_literals;

TEST(IntegerField, AcceptedTexts)
{
    struct Case {
        std::string text;
        std::int32_t expected;
    } const cases[] = {
        {"0", 0},
        {"42", 42},
        {"+42", 42},
        {"-42", -42},
        {"-0", 0},
        {"007", 7},
        {"   12", 12},
        {"\t\r\n 5", 5},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"0000000000000000000000001", 1},
        {"$10", 16},
        {"x1f", 31},
        {"X1F", 31},
        {"0x7fffffff", 2147483647},
        {"0XaBc", 2748},
        {"-$10", -16},
        {"+0x10", 16},
        {" $ff", 255},
        {"$FFFFFFFF", -1},
        {"$80000000", -2147483647 - 1},
        {"-$80000000", -2147483647 - 1},
        {"$0000000000FF", 255},
        {"0", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tryParseInteger(c.text), c.expected) << c.text;
        EXPECT_EQ(parseInteger(c.text), c.expected) << c.text;
    }
}

TEST(IntegerField, RefusedTexts)
{
    const std::string cases[] = {
        "",
        " ",
        "+",
        "-",
        "--1",
        "+-1",
        "1 ",
        "1\t",
        "1a",
        "a1",
        "1.0",
        "1e3",
        "1,000",
        "$",
        "x",
        "0x",
        "-$",
        "$g",
        "0x 1",
        "- 1",
        "2147483648",
        "-2147483649",
        "99999999999",
        "$100000000",
        "-$80000001",
        "-$FFFFFFFF",
        "0x1FFFFFFFF",
        "１２",
        "12\0"s,
        "\0"
        "12"s,
        "1 2",
        "00x1",
    };
    for (const auto& text : cases) EXPECT_EQ(tryParseInteger(text), std::nullopt) << text;
}

TEST(IntegerField, ErrorMessageQuotesTheTextAsTyped)
{
    const testing::RunErrorCase cases[] = {
        {"", "'' is not a valid integer value"},       {" 12 ", "' 12 ' is not a valid integer value"},
        {"abc", "'abc' is not a valid integer value"}, {"\xD6\xD0", "'\xD6\xD0' is not a valid integer value"},
        {"%s", "'%s' is not a valid integer value"},
    };
    testing::expectRunErrors(cases, parseInteger);
}

} // namespace
} // namespace qv::text
