// These tests start the real LibreOffice (soffice on PATH), a few seconds per
// start, so each groups several conversions.
#include "convert/format_conversion.h"

#include "content/content_fixture.h"
#include "platform/child_process.h"
#include "platform/libreoffice_server.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace qv {
namespace {

using testing::gbk;
using testing::utf8;

class RealCalc : public testing::ContentFixture {
protected:
    // Converts the single marked entry `name` by `call`; true when counted.
    bool convertOne(const std::string& name, const std::string& call)
    {
        ws.files = FileList();
        addEntry(name);
        host.messages.clear();
        return btnConvertClick({call}, ws, host, fs, server).processed == 1;
    }

    LibreOfficeServer server;
};

TEST_F(RealCalc, CsvToWorkbookAndBackToEveryFormat)
{
    const std::string table = gbk("姓名,城市,数量\r\n张三,北京,12\r\n李四,\"上海,浦东\",3.5\r\n");
    writeFile("s.csv", table);
    ASSERT_TRUE(convertOne("s.csv", "${CsvTo(xls)}")) << ::testing::PrintToString(messageTexts());
    EXPECT_TRUE(read("s.xls").starts_with("\xD0\xCF\x11\xE0"));

    std::filesystem::rename(path("s.csv"), path("original.csv"));
    ASSERT_TRUE(convertOne("s.xls", "${XlsTo(csv)}"));
    EXPECT_EQ(read("s.csv"), table);
    ASSERT_TRUE(convertOne("s.xls", "${XlsTo(txt)}"));
    EXPECT_EQ(read("s.txt"), gbk("姓名\t城市\t数量\r\n张三\t北京\t12\r\n李四\t上海,浦东\t3.5\r\n"));

    ASSERT_TRUE(convertOne("s.xls", "${XlsTo(htm)}"));
    const std::string html = read("s.htm");
    EXPECT_NE(html.find("charset=utf-8"), std::string::npos);
    for (const char* cell : {">张三</", ">上海,浦东</", ">3.5</td>"})
        EXPECT_NE(html.find(cell), std::string::npos) << cell;

    // The XML spreadsheet reads back as a workbook holding the same cells.
    ASSERT_TRUE(convertOne("s.xls", "${XlsTo(xml)}"));
    EXPECT_NE(read("s.xml").find("<Data ss:Type=\"Number\">3.5</Data>"), std::string::npos);
    std::filesystem::remove(path("s.csv"));
    ASSERT_TRUE(convertOne("s.xml", "${XlsTo(csv)}"));
    EXPECT_EQ(read("s.csv"), table);
}

TEST_F(RealCalc, BatchJudgesEachFileByItsOwnOutput)
{
    writeFile("a.csv", "x,1\r\n");
    writeFile("notes.xls", "plain text, no workbook\r\n");
    ASSERT_TRUE(convertOne("a.csv", "${CsvTo(xls)}"));
    std::filesystem::copy_file(path("a.xls"), path("copy.xls"));
    std::filesystem::remove(path("a.csv"));

    ws.files = FileList();
    for (const char* name : {"a.xls", "notes.xls", "missing.xls", "copy.xls"}) addEntry(name);
    host.messages.clear();
    const OperationResult outcome = btnConvertClick({"${XlsTo(csv)}"}, ws, host, fs, server);
    EXPECT_EQ(outcome.processed, 2);
    EXPECT_EQ(read("a.csv"), "x,1\r\n");
    EXPECT_EQ(read("copy.csv"), "x,1\r\n");
    EXPECT_FALSE(exists("notes.csv"));
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"成功处理完成,共处理 2 个文件!\r\n2 个文件转换失败"}));
    EXPECT_EQ(host.messages.back().details,
              path("notes.xls") + "：不是电子表格\r\n" + path("missing.xls") + "：无法读取");
}

TEST_F(RealCalc, MissingSofficeIsReportedOncePerEntry)
{
    // Workbook headers, so that only the server could tell them apart.
    writeFile("a.xls", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    writeFile("b.xls", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    addEntry("a.xls");
    addEntry("b.xls");
    const char* path = std::getenv("PATH");
    const std::string savedPath = path ? path : "";
    const std::string emptyFolder = this->path("empty-bin");
    std::filesystem::create_directory(emptyFolder);
    ::setenv("PATH", emptyFolder.c_str(), 1);
    const OperationResult outcome = btnConvertClick({"${XlsTo(csv)}"}, ws, host, fs, server);
    ::setenv("PATH", savedPath.c_str(), 1);

    EXPECT_EQ(outcome.processed, 0);
    EXPECT_EQ(ws.counters.stChangeCount, 0);
    ASSERT_EQ(host.messages.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(host.messages[i].title, "错误");
        EXPECT_EQ(host.messages[i].text, "无法启动Excel");
    }
    EXPECT_EQ(host.messages[2].text, "成功处理完成,共处理 0 个文件!\r\n2 个文件转换失败");
}

// True once process `pid` has ended (gone, or a zombie waiting for its new
// parent to reap it).
bool processEnded(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

TEST_F(RealCalc, ChildProcessResultsAndTimeOutKillsItsGroup)
{
    EXPECT_EQ(runChild({"qorvane-no-such-program"}, {}, std::chrono::seconds(5), {}).status,
              ChildRun::Status::CouldNotStart);
    const ChildRun exited =
        runChild({"sh", "-c", "test \"$QV_X\" = 7 && exit 3"}, {"QV_X=7"}, std::chrono::seconds(30), {});
    EXPECT_EQ(exited.status, ChildRun::Status::Exited);
    EXPECT_EQ(exited.exitCode, 3);

    const std::string pidFile = path("helper.pid");
    int waits = 0;
    const ChildRun hung = runChild({"sh", "-c", "sleep 60 & echo $! > \"$1\"; wait", "sh", pidFile}, {},
                                   std::chrono::milliseconds(500), [&] { ++waits; });
    EXPECT_EQ(hung.status, ChildRun::Status::TimedOut);
    EXPECT_GT(waits, 0);
    const pid_t helper = std::stoi(read("helper.pid"));
    for (int i = 0; i < 100 && !processEnded(helper); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(processEnded(helper));
}

} // namespace
} // namespace qv
