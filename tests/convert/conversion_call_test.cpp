#include "convert/conversion_call.h"

#include "support/gbk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
namespace {

using testing::gbk;

TEST(ConversionCall, NameBeforeParenthesisArgumentUpToFirstComma)
{
    struct Case {
        std::string call;
        Converter converter;
        std::string argument;
    };
    const std::vector<Case> cases{
        {"${XlsTo(csv)}", Converter::XlsTo, "csv"},
        {"${txtto(CSV)}", Converter::TxtTo, "CSV"},
        {"${CSVTO( .Xls )}", Converter::CsvTo, " .Xls "},
        {"${VcfTo(txt)}", Converter::VcfTo, "txt"},
        {"${XlsTo(csv,1)}", Converter::XlsTo, "csv"},
        {"${XlsTo()}", Converter::XlsTo, ""},
        {"${XlsTo(}", Converter::XlsTo, ""},
        // Text around the call is cut off first.
        {"to ${XlsTo(csv)} now", Converter::XlsTo, "csv"},
        {"${XlsTo(csv)}}", Converter::XlsTo, "csv)"},
        // A "}" that is the second byte of a Chinese character is no brace.
        {gbk("${TxtTo(csv)}") + "\x81}", Converter::TxtTo, "csv"},
        {"${DocTo(txt)}", Converter::None, ""},
        {"${XlsTo}", Converter::None, ""},
        {"XlsTo(csv)", Converter::None, ""},
        {"${ XlsTo(csv)}", Converter::None, ""},
        {"${", Converter::None, ""},
        {"${}", Converter::None, ""},
        {"", Converter::None, ""},
    };
    for (const Case& c : cases) {
        const ConversionCall parsed = parseConversionCall(c.call);
        EXPECT_EQ(parsed.converter, c.converter) << c.call;
        EXPECT_EQ(parsed.argument, c.argument) << c.call;
    }
}

TEST(ConversionCall, NewExtensionAndConvertedPath)
{
    const std::vector<std::pair<std::string, std::string>> extensions{
        {"csv", "csv"}, {" .CSV\t", "csv"}, {"..txt", ".txt"}, {".", ""}, {"  ", ""}};
    for (const auto& [argument, expected] : extensions) EXPECT_EQ(newExtension(argument), expected) << argument;

    const std::vector<std::pair<std::string, std::string>> paths{
        {"/d/book.xls", "/d/book.csv"},     {"/d/a.b.txt", "/d/a.b.csv"}, {"/d/book.", "/d/book.csv"},
        {"/d.x/README", "/d.x/README.csv"}, {"README", "README.csv"},     {"/d/.profile", "/d/.profile.csv"},
        {"/d/book.csv", "/d/book.csv"},
    };
    for (const auto& [source, expected] : paths) EXPECT_EQ(convertedPath(source, "csv"), expected) << source;
}

} // namespace
} // namespace qv
