#include "convert/sheet_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
namespace {

TEST(SheetText, RecordsEndWithCrLfOutsideQuotes)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"a,b\nc,d", "a,b\r\nc,d\r\n"},
        {"a,b\nc,d\n", "a,b\r\nc,d\r\n"},
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"\"x\ny\",z\nw\n", "\"x\ny\",z\r\nw\r\n"},
        {"\"a\"\"\nb\"\n", "\"a\"\"\nb\"\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"", ""},
        {"\"open\nend", "\"open\nend\r\n"},
    };
    for (const auto& [in, expected] : cases) EXPECT_EQ(withCrLfRecords(in), expected) << in;
}

TEST(SheetText, CellsUnquoted)
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {"a,b,", {"a", "b", ""}},
        {"\"a,b\",\"say \"\"hi\"\"\"", {"a,b", "say \"hi\""}},
        {"", {""}},
        {"\"x\ny\"", {"x\ny"}},
    };
    for (const auto& [record, expected] : cases) EXPECT_EQ(delimitedCells(record, ','), expected) << record;
    EXPECT_EQ(delimitedCells("a\tb,c", '\t'), (std::vector<std::string>{"a", "b,c"}));
}

TEST(SheetText, XmlSpreadsheetRows)
{
    const std::string xml = spreadsheetXml("\xEF\xBB\xBFName,Qty\n\"<a&b>\",-1.5E+3\n,7\n\"x\ny\",12a\n");
    const std::vector<std::string> rows{
        "<Row><Cell><Data ss:Type=\"String\">Name</Data></Cell><Cell><Data ss:Type=\"String\">Qty</Data></Cell></Row>",
        "<Row><Cell><Data ss:Type=\"String\">&lt;a&amp;b&gt;</Data></Cell>"
        "<Cell><Data ss:Type=\"Number\">-1.5E+3</Data></Cell></Row>",
        "<Row><Cell ss:Index=\"2\"><Data ss:Type=\"Number\">7</Data></Cell></Row>",
        "<Row><Cell><Data ss:Type=\"String\">x&#10;y</Data></Cell><Cell><Data ss:Type=\"String\">12a</Data></Cell>"
        "</Row>",
    };
    std::size_t at = 0;
    for (const std::string& row : rows) {
        at = xml.find(row, at);
        ASSERT_NE(at, std::string::npos) << row << "\nin\n" << xml;
    }
    EXPECT_TRUE(xml.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE(xml.ends_with("</Table>\r\n </Worksheet>\r\n</Workbook>\r\n"));
    EXPECT_EQ(spreadsheetXml("a\x01\x1f\tb").find('\x01'), std::string::npos);
}

} // namespace
} // namespace qv
