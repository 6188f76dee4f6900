#include "fileops/change_extension.h"

#include "fileops_fixture.h"

namespace qv::testing {
namespace {

using Strings = std::vector<std::string>;

class ChangeExtension : public FileOpsFixture {
protected:
    void run(const std::string& utf8Template) { btnExtClick(ExtensionParams{gbk(utf8Template)}, ws, host, fs); }
};

TEST_F(ChangeExtension, EmptyOrBareExtTemplateIsRefused)
{
    addFile("a.txt");
    for (const char* templ : {"", " \t", "${ext}", " ${EXT} "}) {
        host.messages.clear();
        ws.counters.stChangeCount = 3;
        run(templ);
        EXPECT_EQ(messageTexts(), Strings{"请输入新扩展名格式！"}) << templ;
        EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
        EXPECT_EQ(ws.counters.stChangeCount, 3);
    }
    EXPECT_EQ(names(), Strings{"a.txt"});
}

TEST_F(ChangeExtension, NewNames)
{
    struct Case {
        std::string name;
        std::string templ;
        std::string expected;
        std::string typeCell;
    } cases[] = {
        {"report.doc", "TXT", "report.txt", ".txt"},
        {"report.doc", ".txt", "report.txt", ".txt"},
        {"a.txt", "${ext}.bak", "a.txt.bak", ".bak"},
        {"b.doc", "${EXT}.bak", "b.doc.bak", ".bak"},
        {"a.TXT", "old_${EXT}", "a.old_TXT", ".old_TXT"},
        {"README", "txt", "README.txt", ".txt"},
        {"x.y.z", "w", "x.y.w", ".w"},
        {".profile", "${ext}2", ".profile2", ".profile2"},
        {"noext", ".", "noext.", "."},
        {"表格.XLS", "文本", "表格.文本", ".文本"},
    };
    for (const auto& c : cases) {
        startOver();
        const std::string sub = std::to_string(&c - cases);
        addFile(sub + "/" + c.name, c.name);
        run(c.templ);
        EXPECT_EQ(names(sub), Strings{c.expected}) << c.name << " " << c.templ;
        EXPECT_EQ(read(sub + "/" + c.expected), c.name);
        EXPECT_EQ(nameCells(), Strings{c.expected});
        EXPECT_EQ(utf8(ws.files.cell(1, TypeColumn)), c.typeCell);
        EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：1"}) << c.name << " " << c.templ;
    }
}

TEST_F(ChangeExtension, SameNameAndTakenTargetsAreLeftAlone)
{
    addFile("a.txt", "text");
    addFile("a.doc", "doc");
    addFile("b.doc", "b");
    addFile("c.htm", "c", false);
    run(".txt");
    // a.txt keeps its name, a.doc finds a.txt taken, b.doc is free.
    EXPECT_EQ(names(), (Strings{"a.doc", "a.txt", "b.txt", "c.htm"}));
    EXPECT_EQ(read("a.txt"), "text");
    EXPECT_EQ(nameCells(), (Strings{"a.txt", "a.doc", "b.txt", "c.htm"}));
    EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：1\r\n1 个文件未处理"});
    EXPECT_EQ(host.messages[0].details, path("a.doc").string() + "：目标文件已存在");
}

TEST_F(ChangeExtension, CaseOnlyChangeWorks)
{
    addFile("a.TXT");
    run("${ext}");
    EXPECT_EQ(ws.counters.stChangeCount, 0);
    run("txt");
    EXPECT_EQ(names(), Strings{"a.txt"});
    EXPECT_EQ(ws.counters.stChangeCount, 1);
}

TEST_F(ChangeExtension, NamesThatWouldLeaveTheFolderAreRefusedAndReported)
{
    addFile("x/.profile");
    addFile("y/.profile");
    addFile("z/a");
    addFile("w/ok.txt");
    // Template "." makes ".profile" ".", template ".." makes it "..", and
    // template "/b" puts a "/" into every name.
    btnExtClick(ExtensionParams{"."}, ws, host, fs);
    EXPECT_EQ(messageTexts(), (Strings{"成功处理文件总数量：2\r\n2 个文件未处理"}));
    EXPECT_EQ(host.messages[0].details, path("x/.profile").string() +
                                            "：算出的新文件名为空、是“.”或“..”，或含有“/”，"
                                            "这样的名称会使文件离开所在目录\r\n" +
                                            path("y/.profile").string() +
                                            "：算出的新文件名为空、是“.”或“..”，或含有“/”，"
                                            "这样的名称会使文件离开所在目录");
    EXPECT_EQ(nameCells(), (Strings{".profile", ".profile", "a.", "ok."}));
    host.messages.clear();
    run("..");
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(nameCells(), (Strings{".profile", ".profile", "a..", "ok.."}));
    host.messages.clear();
    run("/b");
    EXPECT_EQ(messageTexts(), (Strings{"成功处理文件总数量：0\r\n4 个文件未处理"}));
    EXPECT_EQ(names("x"), Strings{".profile"});
    EXPECT_EQ(names("z"), Strings{"a.."});
    EXPECT_FALSE(exists("z/a./b"));
}

} // namespace
} // namespace qv::testing
