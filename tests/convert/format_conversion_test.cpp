#include "convert/format_conversion.h"

#include "content/content_fixture.h"
#include "text/run_error.h"

#include <gtest/gtest.h>

#include <map>

namespace qv {
namespace {

// A server that answers from a script: per source file name a result,
// "converted" when a name is not listed.
class ScriptedServer final : public SpreadsheetServer {
public:
    std::vector<SheetResult> convert(const std::vector<std::string>& sources, SheetSource from, SheetTarget to,
                                     const std::function<bool()>&) override
    {
        ++calls;
        jobsSeen += sources.size();
        lastFrom = from;
        lastTo = to;
        std::vector<SheetResult> results;
        for (const std::string& source : sources) {
            const std::string name = source.substr(source.rfind('/') + 1);
            const auto scripted = script.find(name);
            results.push_back(scripted != script.end() ? scripted->second
                                                       : SheetResult{SheetResult::Status::Converted, output});
        }
        return results;
    }

    std::map<std::string, SheetResult> script;
    std::string output = "a,b\nc,d\n";
    int calls = 0;
    std::size_t jobsSeen = 0;
    SheetSource lastFrom{};
    SheetTarget lastTo{};
};

template <typename Files> class FormatConversionOn : public Files {
protected:
    OperationResult run(const std::string& call)
    {
        return btnConvertClick({call}, this->ws, this->host, this->fs, server);
    }
    ScriptedServer server;
};
using FormatConversion = FormatConversionOn<testing::ContentFixture>;
using FormatConversionInMemory = FormatConversionOn<testing::MemoryContentFixture>;

TEST_F(FormatConversionInMemory, TextConverter)
{
    addFile("t.txt", "a\tb\tc\nd");
    addFile("h.txt", "a\tb\r");
    run("${txtto(CSV)}");
    EXPECT_EQ(read("t.csv"), "a,b,c\r\nd\r\n");
    EXPECT_EQ(read("h.csv"), "a,b\r\n");
    run("${TxtTo(htm)}");
    EXPECT_EQ(read("t.htm"), "a\tb\tc\r\nd\r\n");
    EXPECT_EQ(ws.counters.stChangeCount, 2);
    EXPECT_EQ(messageTexts().back(), "成功处理完成,共处理 2 个文件!");
    EXPECT_EQ(server.calls, 0);
}

// A converted path that names the source itself or another marked file is
// not written: the run would replace a file it reads (or has read).
TEST_F(FormatConversionInMemory, NeverWritesOverAFileOfItsOwnRun)
{
    const std::string withNul("a\tb\0tail\n", 9);
    addFile("t.txt", withNul);
    addFile("card.csv", "BEGIN:VCARD\r\nEND:VCARD\r\n"); // two rows, as many as the server gives back
    addFile("x.txt", "x\ty");
    addFile("x.csv", "kept");
    struct Case {
        std::string call;
        std::vector<std::string> skipped; // "name：reason", in order
        std::int64_t converted;
    };
    const std::vector<Case> cases{
        {"${TxtTo(txt)}",
         {"t.txt：转换后的文件就是源文件", "x.txt：转换后的文件就是源文件",
          "x.csv：转换后的文件是本次处理的另一个源文件"},
         1}, // card.txt
        {"${VcfTo(csv)}",
         {"card.csv：转换后的文件就是源文件", "x.txt：转换后的文件是本次处理的另一个源文件",
          "x.csv：转换后的文件就是源文件"},
         1}, // t.csv
        {"${CsvTo(txt)}",
         {"t.txt：转换后的文件就是源文件", "x.txt：转换后的文件就是源文件",
          "x.csv：转换后的文件是本次处理的另一个源文件"},
         1}, // card.txt
    };
    for (const Case& c : cases) {
        const OperationResult outcome = run(testing::gbk(c.call));
        std::vector<std::string> skipped;
        for (const SkippedFile& file : outcome.skipped)
            skipped.push_back(testing::utf8(file.path.substr(file.path.rfind('/') + 1)) + "：" +
                              testing::utf8(file.reason));
        EXPECT_EQ(skipped, c.skipped) << c.call;
        EXPECT_EQ(outcome.processed, c.converted) << c.call;
    }
    EXPECT_EQ(read("t.txt"), withNul);
    EXPECT_EQ(read("card.csv"), "BEGIN:VCARD\r\nEND:VCARD\r\n");
    EXPECT_EQ(read("x.csv"), "kept");
    EXPECT_EQ(server.jobsSeen, 1u); // card.csv alone went to the server

    ws.files.setMark(4, false); // x.csv no longer part of the run
    run(testing::gbk("${TxtTo(csv)}"));
    EXPECT_EQ(read("x.csv"), "x,y\r\n");
}

TEST_F(FormatConversion, ContactConverterWritesBothLayoutsOnly)
{
    addFile("c.vcf", "BEGIN:VCARD\r\nFN:A\r\nTEL;CELL:1\r\nEND:VCARD\r\n");
    run("${VcfTo(csv)}");
    EXPECT_EQ(read("c.csv"), "Name,Cell,Tel,Email,Org,Address\r\nA,1,,,,\r\n");
    run("${VcfTo(TXT)}");
    EXPECT_EQ(read("c.txt"), "Name\tCell\tTel\tEmail\tOrg\tAddress\r\nA\t1\t\t\t\t\r\n");
    run("${VcfTo(xls)}");
    EXPECT_FALSE(exists("c.xls"));
    EXPECT_EQ(ws.counters.stChangeCount, 0);
}

TEST_F(FormatConversion, EntriesNothingConvertedAreFailuresNotCounted)
{
    addFile("a.txt", "x");
    addFile("b.txt", "y", false);
    const std::string a = path("a.txt");
    const std::string outsideFolder = "新扩展名是“.”或“..”，或含有“/”或空字符，不能用作扩展名";
    std::filesystem::create_directory(path("a.d")); // through which a.d/../../escaped would leave
    struct Case {
        std::string call;
        std::string reason;
    };
    const std::vector<Case> cases{
        {"${DocTo(txt)}", "不是可识别的转换"},
        {"csv", "不是可识别的转换"},
        {"${XlsTo}", "不是可识别的转换"},
        {"${TxtTo( )}", "没有新的扩展名"},
        {"${XlsTo(xls)}", "不支持转换为此格式"},
        {"${CsvTo(csv)}", "不支持转换为此格式"},
        {"${XlsTo(doc)}", "不支持转换为此格式"},
        {"${VcfTo(htm)}", "不支持转换为此格式"},
        {"${TxtTo(d/../../escaped)}", outsideFolder},
        {"${TxtTo(/tmp/x)}", outsideFolder},
        {"${TxtTo(..)}", outsideFolder},
        {"${TxtTo(...)}", outsideFolder},
        {std::string("${TxtTo(t\0xt)}", 14), outsideFolder},
        {"${VcfTo(../csv)}", outsideFolder},
        {"${XlsTo(../csv)}", outsideFolder},
    };
    for (const Case& c : cases) {
        host.messages.clear();
        const OperationResult outcome = run(testing::gbk(c.call));
        EXPECT_EQ(outcome.processed, 0) << c.call;
        EXPECT_EQ(messageTexts(), (std::vector<std::string>{"成功处理完成,共处理 0 个文件!\r\n1 个文件转换失败"}));
        EXPECT_EQ(host.messages.back().details, testing::utf8(a) + "：" + c.reason) << c.call;
    }
    EXPECT_EQ(server.calls, 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path("")), {}), 3);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(path("")).parent_path().parent_path() / "escaped"));
}

TEST_F(FormatConversion, SpreadsheetsTogetherJudgedOneByOne)
{
    for (const char* name : {"a.xls", "b.xls", "c.xls", "d.xls", "e.xls"}) addFile(name, "sheet");
    server.script["b.xls"] = {SheetResult::Status::NotASpreadsheet, ""};
    server.script["c.xls"] = {SheetResult::Status::Unreadable, ""};
    server.script["d.xls"] = {SheetResult::Status::TimedOut, ""};
    std::filesystem::create_directory(path("e.csv"));
    const OperationResult outcome = run("${XlsTo(csv)}");
    EXPECT_EQ(server.calls, 1);
    EXPECT_EQ(server.lastFrom, SheetSource::Workbook);
    EXPECT_EQ(server.lastTo, SheetTarget::CommaSeparatedText);
    EXPECT_EQ(read("a.csv"), "a,b\r\nc,d\r\n");
    EXPECT_EQ(outcome.processed, 1);
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"成功处理完成,共处理 1 个文件!\r\n4 个文件转换失败"}));
    EXPECT_EQ(host.messages.back().details, path("b.xls") + "：不是电子表格\r\n" + path("c.xls") + "：无法读取\r\n" +
                                                path("d.xls") + "：转换超时\r\n" + path("e.xls") +
                                                "：Cannot create file " + path("e.csv"));
}

TEST_F(FormatConversion, CsvRowsMissingFromTheOutputKeepItFromBeingWritten)
{
    addFile("t.csv", "a\r\nb\r\nc\r\n");
    server.output = "a\nb\n";
    run("${CsvTo(txt)}");
    EXPECT_FALSE(exists("t.txt"));
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"成功处理完成,共处理 0 个文件!\r\n1 个文件转换失败"}));
    EXPECT_EQ(host.messages.back().details, path("t.csv") + "：转换后缺少数据行,未写入:原文件 3 行,转换后只有 2 行");

    // A binary workbook holds 65,536 rows; its rows cannot be counted back.
    std::string rows;
    for (int i = 0; i < 65536; ++i) rows += "1\r\n";
    ws.files = FileList();
    addFile("full.csv", rows);
    addFile("over.csv", rows + "2\r\n");
    host.messages.clear();
    run("${CsvTo(xls)}");
    EXPECT_TRUE(exists("full.xls"));
    EXPECT_FALSE(exists("over.xls"));
    EXPECT_EQ(host.messages.back().details,
              path("over.csv") + "：转换后缺少数据行,未写入:原文件 65537 行,转换后只有 65536 行");
}

TEST_F(FormatConversion, AStoppedServerEndsTheRunWithTheFilesDone)
{
    addFile("a.xls", "sheet");
    addFile("b.xls", "sheet");
    server.script["b.xls"] = {SheetResult::Status::Stopped, ""};
    const OperationResult outcome = run("${XlsTo(csv)}");
    EXPECT_EQ(outcome.status, OperationResult::Status::Stopped);
    EXPECT_EQ(outcome.processed, 1);
    EXPECT_TRUE(exists("a.csv"));
    EXPECT_FALSE(exists("b.csv"));
    EXPECT_TRUE(outcome.skipped.empty());
}

TEST_F(FormatConversion, TargetsOfEachConverter)
{
    addFile("s.csv", "x");
    struct Case {
        std::string call;
        SheetSource from;
        SheetTarget to;
        std::string file;
    };
    const std::vector<Case> cases{
        {"${XlsTo(txt)}", SheetSource::Workbook, SheetTarget::TabSeparatedText, "s.txt"},
        {"${XlsTo(.HTM)}", SheetSource::Workbook, SheetTarget::Html, "s.htm"},
        {"${XlsTo(xml)}", SheetSource::Workbook, SheetTarget::CommaSeparatedUtf8, "s.xml"},
        {"${CsvTo(xls)}", SheetSource::CommaSeparatedText, SheetTarget::Workbook97, "s.xls"},
        {"${CsvTo(txt)}", SheetSource::CommaSeparatedText, SheetTarget::TabSeparatedText, "s.txt"},
    };
    for (const Case& c : cases) {
        run(c.call);
        EXPECT_EQ(server.lastFrom, c.from) << c.call;
        EXPECT_EQ(server.lastTo, c.to) << c.call;
        EXPECT_TRUE(exists(c.file)) << c.call;
    }
    EXPECT_NE(read("s.xml").find("<Data ss:Type=\"String\">c</Data>"), std::string::npos);
    EXPECT_EQ(read("s.htm"), server.output);
}

TEST_F(FormatConversion, ServerThatDoesNotStartIsReportedPerEntry)
{
    addFile("a.xls", "x");
    addFile("b.xls", "x");
    server.script["a.xls"] = server.script["b.xls"] = {SheetResult::Status::ServerDidNotStart, ""};
    run("${XlsTo(csv)}");
    ASSERT_EQ(host.messages.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(host.messages[i].kind, MessageKind::Error);
        EXPECT_EQ(host.messages[i].title, "错误");
        EXPECT_EQ(host.messages[i].text, "无法启动Excel");
    }
    EXPECT_EQ(host.messages[2].text, "成功处理完成,共处理 0 个文件!\r\n2 个文件转换失败");
}

TEST_F(FormatConversion, RefusalsAndRunErrors)
{
    run("${TxtTo(csv)}");
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"没有源文件，请搜索后再试！"}));
    addFile("a.txt", "x");
    addEntry("missing.txt");
    addFile("c.txt", "x");
    host.messages.clear();
    const OperationResult refused = run("");
    EXPECT_EQ(refused.refusal->focus, "edtFileFormat");
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"新文件格式为空,请输入后再试!"}));
    EXPECT_THROW(run("${TxtTo(csv)}"), RunError);
    EXPECT_TRUE(exists("a.csv"));
    EXPECT_FALSE(exists("c.csv"));
    EXPECT_EQ(ws.counters.stChangeCount, 1);
}

} // namespace
} // namespace qv
