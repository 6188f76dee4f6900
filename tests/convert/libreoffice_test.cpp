// These tests start the real LibreOffice (soffice on PATH), a few seconds per
// start, so each groups several conversions.
#include "convert/format_conversion.h"

#include "content/content_fixture.h"
#include "platform/child_process.h"
#include "platform/libreoffice_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>

extern char** environ;

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
                                   std::chrono::milliseconds(500), [&] {
                                       ++waits;
                                       return true;
                                   });
    EXPECT_EQ(hung.status, ChildRun::Status::TimedOut);
    EXPECT_GT(waits, 0);
    const pid_t helper = std::stoi(read("helper.pid"));
    for (int i = 0; i < 100 && !processEnded(helper); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(processEnded(helper));
}

// An HTTP server on a loopback port that counts the connections made to it
// and answers each with an empty 200.
class CountingServer {
public:
    CountingServer()
    {
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(socket_, 16);
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~CountingServer()
    {
        done_ = true;
        thread_.join();
        ::close(socket_);
    }
    int port = 0;
    std::atomic<int> connections{0};

private:
    void serve()
    {
        while (!done_) {
            pollfd waiting{socket_, POLLIN, 0};
            if (::poll(&waiting, 1, 50) <= 0) continue;
            const int client = ::accept(socket_, nullptr, nullptr);
            if (client < 0) continue;
            ++connections;
            char request[4096];
            pollfd reading{client, POLLIN, 0};
            if (::poll(&reading, 1, 1000) > 0) (void)::read(client, request, sizeof request);
            const char answer[] = "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n";
            (void)::write(client, answer, sizeof answer - 1);
            ::close(client);
        }
    }
    int socket_ = -1;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// A flat OpenDocument spreadsheet whose one sheet shows an image linked from `url`.
std::string flatOdsLinkingImage(const std::string& url)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
           "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
           "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" office:version=\"1.2\" "
           "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">"
           "<office:body><office:spreadsheet><table:table table:name=\"Sheet1\"><table:shapes>"
           "<draw:frame draw:name=\"img\" svg:width=\"2cm\" svg:height=\"2cm\" svg:x=\"1cm\" svg:y=\"1cm\">"
           "<draw:image xlink:href=\"" +
           url +
           "\" xlink:type=\"simple\" xlink:show=\"embed\" xlink:actuate=\"onLoad\"/></draw:frame></table:shapes>"
           "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>ods</text:p></table:table-cell>"
           "</table:table-row></table:table></office:spreadsheet></office:body></office:document>\n";
}

// Writes an .xlsx workbook at `path` whose one sheet shows an image linked
// from `url` (zipped by Python's zipfile).
void writeXlsxLinkingImage(const std::string& path, const std::string& url)
{
    const std::string script = R"(
import sys, zipfile
path, url = sys.argv[1], sys.argv[2]
r = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
rels = '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">%s</Relationships>'
rel = '<Relationship Id="rId1" Type="' + r + '/%s" Target="%s"%s/>'
parts = {
 '[Content_Types].xml': '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/drawings/drawing1.xml" ContentType="application/vnd.openxmlformats-officedocument.drawing+xml"/></Types>',
 '_rels/.rels': rels % (rel % ('officeDocument', 'xl/workbook.xml', '')),
 'xl/workbook.xml': '<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="' + r + '"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>',
 'xl/_rels/workbook.xml.rels': rels % (rel % ('worksheet', 'worksheets/sheet1.xml', '')),
 'xl/worksheets/sheet1.xml': '<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="' + r + '"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>xlsx</t></is></c></row></sheetData><drawing r:id="rId1"/></worksheet>',
 'xl/worksheets/_rels/sheet1.xml.rels': rels % (rel % ('drawing', '../drawings/drawing1.xml', '')),
 'xl/drawings/drawing1.xml': '<?xml version="1.0" encoding="UTF-8"?><xdr:wsDr xmlns:xdr="http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing" xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" xmlns:r="' + r + '"><xdr:oneCellAnchor><xdr:from><xdr:col>1</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>1</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:ext cx="600000" cy="600000"/><xdr:pic><xdr:nvPicPr><xdr:cNvPr id="2" name="img"/><xdr:cNvPicPr/></xdr:nvPicPr><xdr:blipFill><a:blip r:link="rId1"/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill><xdr:spPr><a:prstGeom prst="rect"><a:avLst/></a:prstGeom></xdr:spPr></xdr:pic><xdr:clientData/></xdr:oneCellAnchor></xdr:wsDr>',
 'xl/drawings/_rels/drawing1.xml.rels': rels % (rel % ('image', url, ' TargetMode="External"')),
}
with zipfile.ZipFile(path, 'w') as z:
    for name, text in parts.items(): z.writestr(name, text)
)";
    const std::string scriptPath = path + ".py";
    std::ofstream(scriptPath) << script;
    const ChildRun made = runChild({"python3", scriptPath, path, url}, {}, std::chrono::seconds(30), {});
    ASSERT_EQ(made.status, ChildRun::Status::Exited);
    ASSERT_EQ(made.exitCode, 0);
}

TEST_F(RealCalc, LinkedImagesAreNeverFetched)
{
    CountingServer web;
    const std::string base = "http://127.0.0.1:" + std::to_string(web.port);
    writeFile("flat.fods", flatOdsLinkingImage(base + "/ods.png"));
    writeXlsxLinkingImage(path("zipped.xlsx"), base + "/xlsx.png");
    ws.files = FileList();
    addEntry("flat.fods");
    addEntry("zipped.xlsx");
    const OperationResult outcome = btnConvertClick({"${XlsTo(csv)}"}, ws, host, fs, server);
    EXPECT_EQ(outcome.processed, 2) << ::testing::PrintToString(messageTexts());
    EXPECT_EQ(read("flat.csv"), "ods\r\n");
    EXPECT_EQ(read("zipped.csv"), "xlsx\r\n");
    EXPECT_EQ(web.connections, 0);
}

TEST_F(RealCalc, CsvRowsPastTheWorkbookLimitAreNotConverted)
{
    std::string rows;
    for (int i = 1; i <= 65537; ++i) rows += std::to_string(i) + "\r\n";
    writeFile("long.csv", rows);
    EXPECT_FALSE(convertOne("long.csv", "${CsvTo(xls)}"));
    EXPECT_FALSE(exists("long.xls"));
    EXPECT_EQ(host.messages.back().details,
              path("long.csv") + "：转换后缺少数据行,未写入:原文件 65537 行,转换后只有 65536 行");
}

// The ids of the running processes whose command line holds `text`.
std::vector<pid_t> processesMentioning(const std::string& text)
{
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        const std::string commandLine{std::istreambuf_iterator<char>(in), {}};
        if (commandLine.find(text) != std::string::npos && !processEnded(std::stoi(name)))
            found.push_back(std::stoi(name));
    }
    return found;
}

TEST_F(RealCalc, AStopOfTheCommandLineEndsTheServerAndRemovesItsFolder)
{
    const std::vector<std::pair<std::string, std::vector<int>>> stops = {
        {"Ctrl-C twice", {SIGINT, SIGINT}},
        {"hang-up", {SIGHUP}},
    };
    writeFile("a.csv", "1,2\r\n");
    for (const auto& [name, signals] : stops) {
        const std::string staging =
            path("tmp-" + std::to_string(signals.front()) + "-" + std::to_string(signals.size()));
        std::filesystem::create_directory(staging);
        std::vector<std::string> argv{QV_CLI, "convert", "--call", "${CsvTo(xls)}", path("a.csv")};
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::string_view(*e).substr(0, 7) != "TMPDIR=") env.emplace_back(*e);
        env.push_back("TMPDIR=" + staging);
        std::vector<char*> argp, envp;
        for (std::string& a : argv) argp.push_back(a.data());
        for (std::string& e : env) envp.push_back(e.data());
        argp.push_back(nullptr);
        envp.push_back(nullptr);
        pid_t cli = 0;
        ASSERT_EQ(::posix_spawn(&cli, argp[0], nullptr, nullptr, argp.data(), envp.data()), 0);

        bool serverRuns = false;
        for (int i = 0; i < 600 && !serverRuns; ++i) {
            serverRuns = !processesMentioning(staging + "/qorvane-sheets-").empty();
            if (!serverRuns) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_TRUE(serverRuns) << name;
        for (const int signal : signals) {
            ::kill(cli, signal);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        int status = 0;
        ASSERT_EQ(::waitpid(cli, &status, 0), cli);
        EXPECT_TRUE(WIFEXITED(status)) << name << ": ended by signal " << WTERMSIG(status);
        EXPECT_EQ(processesMentioning(staging + "/qorvane-sheets-"), std::vector<pid_t>{}) << name;
        EXPECT_TRUE(std::filesystem::is_empty(staging)) << name;
        EXPECT_FALSE(exists("a.xls")) << name;
    }
}

} // namespace
} // namespace qv
