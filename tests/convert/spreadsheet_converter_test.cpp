#include "convert/spreadsheet_converter.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(SheetRows, CountedAsTheSheetHoldsThem)
{
    const std::vector<std::tuple<std::string, char, std::size_t>> cases = {
        {"", ',', 0},
        {"a", ',', 1},
        {"a\n", ',', 1},
        {"a\r\nb\r\n", ',', 2},
        {"a\n\nb\n", ',', 3},      // an empty row between rows is a row
        {"a\n\n\r\n,,\n", ',', 1}, // empty rows after the last are not
        {"a\t\t\n\t\n", '\t', 1},
        {"a,\"x\ny\",b\nc\n", ',', 2},    // a line break inside a quoted cell
        {"\"x\"\"\ny\"\nc\n", ',', 2},    // a doubled quote inside it
        {"a\"b\nc\n", ',', 2},            // a quote inside an unquoted cell is a byte
        {"a,\"unclosed\nb\nc\n", ',', 1}, // an unclosed quote runs to the end
        {"\"\"\n\"\"\n", ',', 2},         // quoted empty cells are cells
        {"\xd6\xd0,\xce\xc4\n", ',', 1},
    };
    for (const auto& [text, separator, rows] : cases) EXPECT_EQ(sheetRowCount(text, separator), rows) << text;
}

} // namespace
} // namespace qv
