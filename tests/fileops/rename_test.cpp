#include "fileops/rename.h"

#include "fileops_fixture.h"
#include "support/run_error_message.h"
#include "text/run_error.h"

#include <sys/stat.h>

namespace qv::testing {
namespace {

using Strings = std::vector<std::string>;

class Rename : public FileOpsFixture {
protected:
    void run(const std::string& utf8Template, const std::string& programFolder = "")
    {
        btnFilenameClick(RenameParams{gbk(utf8Template), gbk(programFolder)}, ws, host, fs);
    }
    void writeList(const std::string& name, const std::string& content)
    {
        std::ofstream(path(name), std::ios::binary) << content;
    }
};

TEST_F(Rename, RefusedTemplatesChangeNothing)
{
    struct Case {
        std::string templ;
        std::string message;
    } cases[] = {
        {"", "请输入新文件名格式！"},
        {"  \t ", "请输入新文件名格式！"},
        {"${FileName}", "请输入新文件名格式！"},
        {" ${FILENAME} ", "请输入新文件名格式！"},
        {"photo", "新文件名格式不正确，请在左边选择变量或函数！"},
        {"${AddLeft(\"x\")}", "新文件名格式中不需要使用双引号！"},
    };
    addFile("a.txt");
    for (const auto& c : cases) {
        host.messages.clear();
        ws.counters.stChangeCount = 5;
        run(c.templ);
        EXPECT_EQ(messageTexts(), Strings{c.message}) << c.templ;
        EXPECT_EQ(ws.counters.stChangeCount, 5) << c.templ;
        EXPECT_EQ(names(), Strings{"a.txt"}) << c.templ;
    }
}

TEST_F(Rename, SelectionCheckComesFirst)
{
    run("${AddLeft(x)}");
    EXPECT_EQ(messageTexts(), Strings{"没有源文件，请搜索后再试！"});
    addFile("a.txt", "x", false);
    host.messages.clear();
    run("");
    EXPECT_EQ(messageTexts(), Strings{"请先选择文件！"});
}

TEST_F(Rename, TemplateIsLowerCasedTheOldNameIsNot)
{
    addFile("Report.TXT", "report");
    run("${AddLeft(NEW_)}");
    EXPECT_EQ(names(), Strings{"new_Report.TXT"});
    EXPECT_EQ(read("new_Report.TXT"), "report");
    EXPECT_EQ(nameCells(), Strings{"new_Report.TXT"});
    EXPECT_EQ(ws.counters.stChangeCount, 1);
    EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：1"});
    EXPECT_EQ(host.messages[0].kind, MessageKind::Information);
}

TEST_F(Rename, SerialNumbersInTemplateMode)
{
    struct Case {
        std::string templ;
        Strings expected;
    } cases[] = {
        {"${sn(1,3)}", {"001.txt", "002.txt", "003.doc"}},
        {"photo_${sn(1,3)}", {"photo_001.txt", "photo_002.txt", "photo_003.doc"}},
        {"${Sn(9,1)}", {"9.txt", "10.txt", "11.doc"}},
        {"${sn(5,20)}", {"00000000000000005.txt", "00000000000000006.txt", "00000000000000007.doc"}},
        {"${sn(1,3)}${AddLeft(x)}", {"xa.txt", "xb.txt", "xd.doc"}},
    };
    for (const auto& c : cases) {
        ws = Workspace{};
        const std::string sub = std::to_string(&c - cases);
        for (const char* name : {"a.txt", "b.txt", "d.doc"}) addFile(sub + "/" + name);
        run(c.templ);
        EXPECT_EQ(nameCells(), c.expected) << c.templ;
        EXPECT_EQ(ws.counters.stChangeCount, 3) << c.templ;
    }
}

TEST_F(Rename, SerialCounterSkipsUnmarkedRowsAndMovesOnWhenARenameFails)
{
    addFile("a.txt");
    addFile("b.txt", "x", false);
    addFile("c.txt");
    addFile("d.txt");
    std::ofstream(path("2.txt")) << "in the way";
    run("${sn(1,1)}");
    EXPECT_EQ(nameCells(), (Strings{"1.txt", "b.txt", "c.txt", "3.txt"}));
    EXPECT_EQ(read("2.txt"), "in the way");
    EXPECT_EQ(ws.counters.stChangeCount, 2);
}

TEST_F(Rename, ListVariablesAndDates)
{
    // 2024-03-05 14:07:09 and 2021-11-30 14:00:00 as local seconds.
    addFile("trip/rep.txt", "x", true, 1638280800, 1709647629);
    run("${filename}_${modifydate}");
    EXPECT_EQ(nameCells(), Strings{"rep_2024-03-05.txt"});
    run("${CreateDate}");
    EXPECT_EQ(nameCells(), Strings{"2021-11-30.txt"});
    run("${LastDir}-${FileName}");
    EXPECT_EQ(nameCells(), Strings{"trip-2021-11-30.txt"});
    EXPECT_EQ(names("trip"), Strings{"trip-2021-11-30.txt"});
}

TEST_F(Rename, SecondOfTwoFilesWithTheSameNewNameIsLeftAlone)
{
    addFile("a1.txt", "first");
    addFile("a2.txt", "second");
    run("${GetLeft(1)}");
    EXPECT_EQ(names(), (Strings{"a.txt", "a2.txt"}));
    EXPECT_EQ(read("a.txt"), "first");
    EXPECT_EQ(read("a2.txt"), "second");
    EXPECT_EQ(nameCells(), (Strings{"a.txt", "a2.txt"}));
    EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：1\r\n1 个文件未处理"});
    EXPECT_EQ(host.messages[0].details, path("a2.txt").string() + "：本次处理中前面的文件将得到同一名称");
}

TEST_F(Rename, ChainOfRenamesNeverOverwrites)
{
    addFile("1.txt", "one");
    addFile("2.txt", "two");
    addFile("3.txt", "three");
    run("${sn(2,1)}");
    // 1 -> 2 and 2 -> 3 find their targets taken; 3 -> 4 is free.
    EXPECT_EQ(names(), (Strings{"1.txt", "2.txt", "4.txt"}));
    EXPECT_EQ(read("1.txt"), "one");
    EXPECT_EQ(read("2.txt"), "two");
    EXPECT_EQ(read("4.txt"), "three");
    EXPECT_EQ(ws.counters.stChangeCount, 1);

    // A second run starts from the rewritten name cells.
    run("${AddLeft(x)}");
    run("${AddLeft(y)}");
    EXPECT_EQ(names(), (Strings{"yx1.txt", "yx2.txt", "yx4.txt"}));
    EXPECT_EQ(read("yx4.txt"), "three");
}

TEST_F(Rename, SameNameIsNotMovedNorCountedAndCaseOnlyRenameWorks)
{
    addFile("Photo.JPG", "p");
    run("${GetLeft(100)}");
    EXPECT_EQ(ws.counters.stChangeCount, 0);
    EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：0"});
    run("${RepStr(P,p)}");
    EXPECT_EQ(names(), Strings{"photo.JPG"});
    EXPECT_EQ(nameCells(), Strings{"photo.JPG"});
    EXPECT_EQ(ws.counters.stChangeCount, 1);
}

TEST_F(Rename, NamesWithoutExtensionDotFilesAndChinese)
{
    addFile("README");
    addFile(".profile");
    addFile("报告.txt");
    run("${AddLeft(新_)}");
    EXPECT_EQ(nameCells(), (Strings{"新_README", "新_.profile", "新_报告.txt"}));
    EXPECT_EQ(names(), (Strings{"新_.profile", "新_README", "新_报告.txt"}));
}

TEST_F(Rename, NamesThatWouldLeaveTheFolderAreRefusedAndReported)
{
    struct Case {
        std::string name;
        std::string templ;
    } cases[] = {
        {"a", "${DelLeft(1)}"},        // empty
        {"b", "${RepStr(b,.)}"},       // "."
        {"ab", "${RepStr(ab,..)}"},    // ".."
        {"cd.txt", "${RepStr(c,/)}"},  // "/d.txt"
        {"ef.txt", "${AddLeft(../)}"}, // "../ef.txt"
    };
    for (const auto& c : cases) {
        startOver();
        addFile(c.name);
        run(c.templ);
        EXPECT_EQ(messageTexts(), (Strings{"成功处理文件总数量：0\r\n1 个文件未处理"})) << c.templ;
        EXPECT_EQ(host.messages[0].details, path(c.name).string() + "：算出的新文件名为空、是“.”或“..”，或含有“/”，"
                                                                    "这样的名称会使文件离开所在目录");
        EXPECT_TRUE(exists(c.name)) << c.templ;
    }
    EXPECT_EQ(names(), (Strings{"a", "ab", "b", "cd.txt", "ef.txt"}));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder()).parent_path() / "ef.txt"));

    // A refusal is counted once per file and does not stop the run.
    startOver();
    addFile("x/a.txt");
    addFile("x/b.txt");
    addFile("x/ab.txt");
    run("${RepStr(a,/)}");
    EXPECT_EQ(names("x"), (Strings{"a.txt", "ab.txt", "b.txt"}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "成功处理文件总数量：0\r\n2 个文件未处理");
    EXPECT_EQ(ws.counters.stChangeCount, 0);
}

TEST_F(Rename, NameListGoesByGridRow)
{
    writeList("Names.txt", "first\r\nsecond\n${AddRight(_old)}\r");
    addFile("f/a.txt", "x", false);
    addFile("f/b.txt");
    addFile("f/c.txt", "x", false);
    run("${File(" + path("Names.txt").string() + ")}");
    EXPECT_EQ(names("f"), (Strings{"a.txt", "c.txt", "second.txt"}));

    ws.files.setMark(3, true);
    run("${FILE(" + path("Names.txt").string() + ")}");
    EXPECT_EQ(names("f"), (Strings{"a.txt", "c_old.txt", "second.txt"}));
    EXPECT_EQ(ws.counters.stChangeCount, 1);
}

TEST_F(Rename, NameListShorterThanTheMarkedRowsEndsTheRun)
{
    writeList("Names.txt", "one\n\n");
    addFile("f/a.txt");
    addFile("f/b.txt");
    addFile("f/c.txt");
    run("${File(" + path("Names.txt").string() + ")}");
    // Line 2 is empty: the base name stays. Row 3 has no line.
    EXPECT_EQ(names("f"), (Strings{"b.txt", "c.txt", "one.txt"}));
    EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：1"});
}

TEST_F(Rename, ListFileIsLookedUpWithTheTypedLetterCase)
{
    // The folder's name holds capitals, so the lower-cased path names nothing.
    writeList("Names.txt", "listed\n");
    writeList("names.txt", "wrong\n");
    addFile("f/a.txt");
    run("${File(" + path("Names.txt").string() + ")}");
    EXPECT_EQ(names("f"), Strings{"listed.txt"});
}

TEST_F(Rename, ListFileFromTheProgramFolderOrNone)
{
    writeList("beside.txt", "found\n");
    addFile("f/a.txt");
    run("${File(beside.txt)}", folder());
    EXPECT_EQ(names("f"), Strings{"found.txt"});

    run("${File(missing.txt)}", folder());
    EXPECT_EQ(names("f"), Strings{"found.txt"});
    EXPECT_EQ(messageTexts().back(), "成功处理文件总数量：0");

    // A folder is no list file.
    run("${File(" + folder("f") + ")}");
    EXPECT_EQ(names("f"), Strings{"found.txt"});
}

TEST_F(Rename, ReplacementList)
{
    writeList("R.txt", "IMG_ photo_\nnothing\n\na;B c\nX\tY;Z\n");
    addFile("f/IMG_0001.jpg");
    addFile("f/IMG_0002.jpg");
    addFile("f/IMG_0003.jpg");
    addFile("f/xAx.txt");
    addFile("f/x_x.txt");
    run("${File2(" + path("R.txt").string() + ")}");
    EXPECT_EQ(nameCells(), (Strings{"photo_0001.jpg", "IMG_0002.jpg", "IMG_0003.jpg", "xB cx.txt", "Y;Z_Y;Z.txt"}));
    EXPECT_EQ(ws.counters.stChangeCount, 3);
}

TEST_F(Rename, BothListFormsUseTheReplacementModeWithTheBestList)
{
    writeList("plain.txt", "a b\n");
    writeList("pairs.txt", "a c\n");
    addFile("f/xa.txt");
    run("${File(" + path("plain.txt").string() + ")}${File2(" + path("pairs.txt").string() + ")}");
    EXPECT_EQ(nameCells(), Strings{"xc.txt"});
    run("${File(" + path("plain.txt").string() + ")}${File2(" + path("none.txt").string() + ")}");
    EXPECT_EQ(nameCells(), Strings{"xc.txt"}); // "a b" no longer matches xc
    writeList("plain.txt", "c d\n");
    run("${File(" + path("plain.txt").string() + ")}${File2(" + path("none.txt").string() + ")}");
    EXPECT_EQ(nameCells(), Strings{"xd.txt"});
}

TEST_F(Rename, ConversionFailuresAreRunErrorsBeforeAnythingMoves)
{
    addFile("a.txt");
    ws.counters.stChangeCount = 7;
    EXPECT_EQ(testing::runErrorMessage([&] { run("${sn(start,width)}"); }), "'start' is not a valid integer value");
    EXPECT_EQ(ws.counters.stChangeCount, 0);
    EXPECT_EQ(names(), Strings{"a.txt"});
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Rename, ListFileThatCannotBeReadIsARunErrorNotAHang)
{
    const std::string fifo = path("pipe").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    addFile("a.txt");
    EXPECT_EQ(testing::runErrorMessage([&] { run("${File(" + fifo + ")}"); }), "Cannot open file " + fifo);
    EXPECT_TRUE(exists("a.txt"));
}

// Renames stop between files like every run; what was renamed stays.
TEST_F(Rename, StopEndsTheRunBetweenFiles)
{
    addFile("a1.txt");
    addFile("a2.txt");
    addFile("a3.txt");
    int calls = 0;
    host.onProcessEvents = [&] { host.stop = ++calls > 1; };
    run("${AddLeft(x)}");
    EXPECT_EQ(names(), (Strings{"a2.txt", "a3.txt", "xa1.txt"}));
    EXPECT_EQ(nameCells(), (Strings{"xa1.txt", "a2.txt", "a3.txt"}));
    EXPECT_EQ(messageTexts(), Strings{"成功处理文件总数量：1\r\n已停止处理，还有 2 个选中的文件未处理"});
}

} // namespace
} // namespace qv::testing
