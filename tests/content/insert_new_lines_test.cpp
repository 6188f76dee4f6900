#include "content/insert_new_lines.h"

#include "content_fixture.h"
#include "text/run_error.h"

namespace qv {
namespace {

using testing::gbk;
CONTENT_TEST_SUITES(InsertNewLines);

InsertNewLinesParams atLine(std::string content, std::string number = "0", std::string templ = "")
{
    InsertNewLinesParams p;
    p.mmoNewCont = std::move(content);
    p.edtNewLineNo = std::move(number);
    p.edtNewLineFormat = std::move(templ);
    return p;
}

InsertNewLinesParams before(NewLineMode mode, std::string content, std::string n, std::string m, std::string keys)
{
    InsertNewLinesParams p;
    p.mode = mode;
    p.mmoNewCont = std::move(content);
    p.edtInsPers = std::move(n);
    p.edtInsNum = std::move(m);
    p.edtLineKey = std::move(keys);
    return p;
}

TEST_F(InsertNewLines, ChecksRefuseInOrderWithTheirFocus)
{
    struct Case {
        InsertNewLinesParams params;
        std::string message;
        std::string focus;
    } cases[] = {
        {before(NewLineMode::Keywords, "", "2", "1", ""), "要插入的文字内容不能为空,请输入后再试!", "mmoNewCont"},
        {before(NewLineMode::Keywords, "x", "0", "1", ""), "插入行关键字为空,请输入后再试!", "edtLineKey"},
        {before(NewLineMode::Interval, "x", "0", "1", ""), "间隔行数必须大于0,请输入后再试!", "edtInsPers"},
        {before(NewLineMode::Interval, "x", "-$1", "1", ""), "间隔行数必须大于0,请输入后再试!", "edtInsPers"},
    };
    addFile("a.txt", "abc");
    for (const Case& c : cases) {
        const auto click = [&] { return btnInsLineClick(c.params, ws, host, fs); };
        EXPECT_EQ(refusalFocus(expectRefusal(click, c.message)), c.focus) << c.message;
    }
}

TEST_F(InsertNewLinesInMemory, AtALineNumber)
{
    struct Case {
        std::string content, number, expected;
    } cases[] = {
        {"new", "0", "new\r\na\r\nb\r\nc\r\n"},        {"new", "-5", "new\r\na\r\nb\r\nc\r\n"},
        {"new", "2", "a\r\nb\r\nnew\r\nc\r\n"},        {"new", "3", "a\r\nb\r\nc\r\nnew\r\n"},
        {"new", "300", "a\r\nb\r\nc\r\nnew\r\n"},      {"line1\r\nline2", "1", "a\r\nline1\r\nline2\r\nb\r\nc\r\n"},
        {" x\\ty ", "0", " x\ty \r\na\r\nb\r\nc\r\n"}, {"p\\Nq\\rr", "0", "p\nq\rr\r\na\r\nb\r\nc\r\n"},
    };
    addFile("a.txt", "a\r\nb\r\nc");
    addFile("empty.txt", "");
    for (const Case& c : cases) {
        btnInsLineClick(atLine(c.content, c.number), ws, host, fs);
        EXPECT_EQ(read("a.qv.txt"), c.expected) << c.content << " at " << c.number;
    }
    EXPECT_EQ(read("empty.qv.txt"), "p\nq\rr\r\n");
    EXPECT_EQ(ws.counters.stChangeCount, 2);
}

TEST_F(InsertNewLines, BeforeMatchingLines)
{
    struct Case {
        NewLineMode mode;
        std::string n, m, keys, expected;
    } cases[] = {
        {NewLineMode::Interval, "2", "1", "", "+\r\n1a\r\n2b\r\n+\r\n3\r\n4\r\n+\r\n5b\r\n6\r\n"},
        {NewLineMode::Interval, "3", "3", "", "1a\r\n2b\r\n+\r\n3\r\n4\r\n5b\r\n+\r\n6\r\n"},
        {NewLineMode::Interval, "1", "0", "", "+\r\n1a\r\n+\r\n2b\r\n+\r\n3\r\n+\r\n4\r\n+\r\n5b\r\n+\r\n6\r\n"},
        {NewLineMode::Keywords, "0", "0", "a;b", "+\r\n1a\r\n+\r\n2b\r\n3\r\n4\r\n+\r\n5b\r\n6\r\n"},
        {NewLineMode::Keywords, "0", "0", " ", "1a\r\n2b\r\n3\r\n4\r\n5b\r\n6\r\n"},
    };
    addFile("six.txt", "1a\n2b\n3\n4\n5b\n6\n");
    addFile("empty.txt", "");
    for (const Case& c : cases) {
        btnInsLineClick(before(c.mode, "+", c.n, c.m, c.keys), ws, host, fs);
        EXPECT_EQ(read("six.qv.txt"), c.expected) << c.n << "/" << c.m << "/" << c.keys;
        EXPECT_EQ(read("empty.qv.txt"), "");
    }
}

TEST_F(InsertNewLines, LineFunctionsTakeLinesOfTheFileOrStay)
{
    struct Case {
        std::string content, expected;
    } cases[] = {
        {"${LineStr(3)}", "three"},
        {"${linestr(3)}|${LINESTR(3)}", "three|three"},
        {"${LineStr(4)}", "${LineStr(4)}"},
        {"${LineStr(0)}", "${LineStr(0)}"},
        {"${LineStr2(t)}", "two"},
        {"${LineStr2(T)}", "${LineStr2(T)}"},
        {"${LineStr2()}", "${LineStr2()}"},
        {"${Filename}: ${LineStr(1)}", "a.txt: one"},
        {"${FILENAME}${LineStr2(re)}${LineStr(2)}", "a.txtthreetwo"},
        {"${LineStr(2)}${LineStr(3)}", "two${LineStr(3)}"},
    };
    addFile("a.txt", "one\r\ntwo\r\nthree");
    for (const Case& c : cases) {
        btnInsLineClick(atLine(c.content, "3"), ws, host, fs);
        EXPECT_EQ(read("a.qv.txt"), "one\r\ntwo\r\nthree\r\n" + c.expected + "\r\n") << c.content;
    }
}

TEST_F(InsertNewLines, RandomLineIsOneOfTheFileOrTheTokenStays)
{
    addFile("one.txt", gbk("唯一"));
    addFile("empty.txt", "");
    btnInsLineClick(atLine("<${LineRandStr()}>", "1"), ws, host, fs);
    EXPECT_EQ(read("one.qv.txt"), gbk("唯一\r\n<唯一>\r\n"));
    EXPECT_EQ(read("empty.qv.txt"), "<${LineRandStr()}>\r\n");

    addFile("many.txt", "a\nb\nc\nd");
    for (int i = 0; i < 20; ++i) {
        btnInsLineClick(atLine("${linerandstr()}", "0"), ws, host, fs);
        const std::string out = read("many.qv.txt");
        EXPECT_TRUE(out == "a\r\na\r\nb\r\nc\r\nd\r\n" || out == "b\r\na\r\nb\r\nc\r\nd\r\n" ||
                    out == "c\r\na\r\nb\r\nc\r\nd\r\n" || out == "d\r\na\r\nb\r\nc\r\nd\r\n")
            << out;
    }
}

TEST_F(InsertNewLines, FileDatesAndFullNameAndTheContentTemplate)
{
    writeFile("d.txt", "x");
    addEntry("d.txt", true, 31536000 + 3600, 1700000000);
    btnInsLineClick(atLine("${CreateDate}/${modifydate}/${FullName}", "0"), ws, host, fs);
    EXPECT_EQ(read("d.qv.txt"), "1971-01-01/2023-11-14/" + path("d.txt") + "\r\nx\r\n");

    btnInsLineClick(atLine("${Filename}", "1", "  ${AddLeft(<)} "), ws, host, fs);
    EXPECT_EQ(read("d.qv.txt"), "x\r\n<d.txt\r\n");
}

TEST_F(InsertNewLines, FieldsThatDoNotConvertEndTheRunBeforeAnyFile)
{
    struct Case {
        InsertNewLinesParams params;
        std::string error;
    } cases[] = {
        {atLine("x", "first"), "'first' is not a valid integer value"},
        {before(NewLineMode::Keywords, "x", "two", "1", "k"), "'two' is not a valid integer value"},
        {before(NewLineMode::Interval, "x", "2", "", ""), "'' is not a valid integer value"},
        {atLine("${LineStr(x)}"), "'x' is not a valid integer value"},
        {atLine("${LineStr(3"), "'' is not a valid integer value"},
    };
    addFile("a.txt", "abc");
    for (const Case& c : cases) expectRunError([&] { btnInsLineClick(c.params, ws, host, fs); }, c.error);
}

} // namespace
} // namespace qv
