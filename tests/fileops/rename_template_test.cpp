#include "fileops/new_name.h"
#include "fileops/rename_template.h"
#include "support/run_error_message.h"
#include "text/output_path.h"
#include "text/run_error.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(SerialNumber, FoundWithStartWidthAndTheTextItReplaces)
{
    struct Case {
        std::string templ;
        std::string spec;
        std::int64_t start;
        std::int32_t width;
    } cases[] = {
        {"${sn(1,3)}", "${sn(1,3)}", 1, 3},
        {"photo_${sn( 7 , 2 )}_x", "${sn( 7 , 2 )}", 7, 2},
        {"${sn(-4,+5)}${addleft(x)}", "${sn(-4,+5)}", -4, 5},
        {"a${sn(10,0)}b${sn(99,9)}", "${sn(10,0)}", 10, 0},
    };
    for (const auto& c : cases) {
        const auto serial = findSerialNumber(c.templ);
        ASSERT_TRUE(serial) << c.templ;
        EXPECT_EQ(serial->spec, c.spec) << c.templ;
        EXPECT_EQ(serial->next, c.start) << c.templ;
        EXPECT_EQ(serial->width, c.width) << c.templ;
    }
    EXPECT_FALSE(findSerialNumber("${addleft(sn)}"));
    EXPECT_FALSE(findSerialNumber("${s n(1,3)}"));
}

TEST(SerialNumber, ArgumentsThatAreNoIntegersAreRunErrors)
{
    const testing::RunErrorCase cases[] = {
        {"${sn(start,width)}", "'start' is not a valid integer value"},
        {"${sn(5)}", "'' is not a valid integer value"},
        {"${sn(1,3", "'' is not a valid integer value"},
        {"${sn(1,x)}", "'x' is not a valid integer value"},
        {"${sn(1.5,3)}", "'1.5' is not a valid integer value"},
        {"${sn(1,3,4)}", "'3,4' is not a valid integer value"},
        {"${sn(99999999999,3)}", "'99999999999' is not a valid integer value"},
    };
    testing::expectRunErrors(cases, findSerialNumber);
}

TEST(SerialNumber, PaddingAddsAtMostSixteenZeros)
{
    struct Case {
        std::int64_t value;
        std::int32_t width;
        std::string expected;
    } cases[] = {
        {1, 3, "001"},
        {42, 2, "42"},
        {1234, 3, "1234"},
        {7, 0, "7"},
        {7, -5, "7"},
        {5, 20, "00000000000000005"},
        {12, 17, "00000000000000012"},
        {12, 18, "000000000000000012"},
        {-5, 3, "0-5"},
        {2147483648, 12, "002147483648"},
        {3, 2147483647, "00000000000000003"},
    };
    for (const auto& c : cases) EXPECT_EQ(paddedNumber(c.value, c.width), c.expected) << c.value << "," << c.width;
}

TEST(SerialNumber, TakeHandsOutConsecutiveNumbersPastTheInt32Range)
{
    SerialNumber serial{"${sn(2147483646,3)}", 2147483646, 3};
    EXPECT_EQ(serial.take(), "2147483646");
    EXPECT_EQ(serial.take(), "2147483647");
    EXPECT_EQ(serial.take(), "2147483648");
}

TEST(ListFileName, CutFromTheTypedTextSoTheLetterCaseStays)
{
    struct Case {
        std::string typed;
        std::string opener;
        std::optional<std::string> expected;
    } cases[] = {
        {"${File(Names.TXT)}", "${file(", "Names.TXT"},
        {"x${FILE2(/tmp/Lists/R.txt)}y", "${file2(", "/tmp/Lists/R.txt"},
        {"${File2(a.txt)}", "${file(", std::nullopt},
        {"${File(a.txt)}${File2(B.txt)}", "${file2(", "B.txt"},
        {"${File()}", "${file(", ""},
        {"${File(a.txt", "${file(", ""},
        {"${AddLeft(x)}", "${file(", std::nullopt},
    };
    for (const auto& c : cases) {
        std::string lowered = c.typed;
        for (char& ch : lowered) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(listFileName(lowered, c.typed, c.opener), c.expected) << c.typed;
    }
}

TEST(ReplacementLine, SplitAtTabThenSemicolonThenColonThenSpace)
{
    struct Case {
        std::string line;
        std::string oldText;
        std::string newText;
    } cases[] = {
        {"IMG_ photo_", "IMG_", "photo_"}, {"a;b c", "a", "b c"},        {"a:b;c", "a:b", "c"}, {"a b:c", "a b", "c"},
        {"a b;c\td", "a b;c", "d"},        {"old \t new", "old", "new"}, {";x", "", "x"},       {"x;", "x", ""},
    };
    for (const auto& c : cases) {
        const auto split = splitReplacementLine(c.line);
        ASSERT_TRUE(split) << c.line;
        EXPECT_EQ(split->oldText, c.oldText) << c.line;
        EXPECT_EQ(split->newText, c.newText) << c.line;
    }
    EXPECT_FALSE(splitReplacementLine("abc"));
    EXPECT_FALSE(splitReplacementLine(""));
}

TEST(NewName, BaseNameIsTheNameWithoutItsLastDotPart)
{
    EXPECT_EQ(baseNameOf("a.txt"), "a");
    EXPECT_EQ(baseNameOf("x.y.z"), "x.y");
    EXPECT_EQ(baseNameOf("README"), "README");
    EXPECT_EQ(baseNameOf(".profile"), "");
    EXPECT_EQ(baseNameOf("end."), "end");
}

TEST(NewName, OnlyNamesThatStayInTheFolderAreSafe)
{
    using namespace std::string_literals;
    for (const char* name : {"a", ".a", "...", "a.", "a..b", "\xB1\xA8\xB8\xE6.txt", "a\\b", " "})
        EXPECT_TRUE(text::isSafeNewName(name)) << name;
    for (const std::string name : {""s, "."s, ".."s, "/"s, "a/b"s, "../a"s, "a/"s, "/etc/passwd"s, "a\0b"s, "\0"s})
        EXPECT_FALSE(text::isSafeNewName(name)) << name;
}

} // namespace
} // namespace qv
