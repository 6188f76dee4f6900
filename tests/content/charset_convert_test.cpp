#include "content/charset_convert.h"

#include "content_fixture.h"
#include "platform/icu_reference.h"
#include "text/bytes.h"
#include "text/run_error.h"

#include <random>

namespace qv {
namespace {

using testing::gbk;
CONTENT_TEST_SUITES(Charset);

TEST(CharsetCall, NameBetweenDollarBraceAndParenthesis)
{
    const std::pair<const char*, CharsetCall> cases[] = {
        {"${ToUtf8()}", CharsetCall::ToUtf8},
        {"${toutf8()}", CharsetCall::ToUtf8},
        {"${TOUTF8(x,y)}", CharsetCall::ToUtf8},
        {"${ToAnsi()}", CharsetCall::ToAnsi},
        {"${toansi((", CharsetCall::ToAnsi},
        {"${toansi(", CharsetCall::Other},
        {"${ToBig5()}", CharsetCall::Other},
        {"ToUtf8()", CharsetCall::Other},
        {"x${ToUtf8()}", CharsetCall::Other},
        {"${ToUtf8}", CharsetCall::Other},
        {"${", CharsetCall::Other},
        {"$", CharsetCall::Other},
    };
    for (const auto& [call, expected] : cases) EXPECT_EQ(charsetCallOf(call), expected) << call;
}

TEST(Utf8Form, EncodesEachUnit)
{
    const std::pair<std::u16string, std::string> cases[] = {
        {u"A", "A"},
        {u"\u00e9", "\xC3\xA9"},
        {u"\u4e2d", "\xE4\xB8\xAD"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {std::u16string(1, char16_t(0xD800)), "\xED\xA0\x80"},
    };
    for (const auto& [units, bytes] : cases) {
        std::string out;
        appendUtf8(units, out);
        EXPECT_EQ(out, bytes);
    }
}

TEST(Utf8Form, DecodesValidTextOnly)
{
    struct Case {
        std::string bytes;
        bool valid;
        std::u16string units;
    };
    const Case cases[] = {
        {"ab", true, u"ab"},
        {"\xE4\xB8\xAD\xC3\xA9", true, u"\u4e2d\u00e9"},
        {"\xF0\x9F\x98\x80", true, u"\U0001F600"},
        {"\xF4\x8F\xBF\xBF", true, u"\U0010FFFF"},
        {"\xEF\xBB\xBF", true, u"\ufeff"},
        {"\xE4\xB8", false, u""},                 // cut off by the end
        {"\xE4\x41\xAD", false, u""},             // continuation outside 0x80-0xBF
        {"\x80", false, u""},                     // stray continuation byte
        {"\xFF", false, u""},                     // never a lead
        {std::string("\xC0\x80", 2), false, u""}, // overlong NUL
        {"\xE0\x80\x8A", false, u""},             // overlong LF
        {"\xED\xA0\x80", false, u""},             // encoded surrogate
        {"\xF4\x90\x80\x80", false, u""},         // beyond U+10FFFF
        {"\xD6\xD0\xCE\xC4", false, u""},         // GBK 中文
    };
    for (const Case& c : cases) {
        std::u16string out;
        EXPECT_EQ(decodeUtf8(c.bytes, out), c.valid) << ::testing::PrintToString(c.bytes);
        if (c.valid) {
            EXPECT_EQ(out, c.units);
        }
    }
}

// Random text of the given parts: code page text from single bytes of any
// value, double-byte characters, ASCII runs long enough for the eight-byte
// path, line breaks and lead bytes before a line break; UTF-8 text from
// ASCII, Chinese, any BMP or supplementary character and, when `illFormed`,
// now and then an ill-formed sequence.
std::string randomCodePageText(std::mt19937& random)
{
    std::string text;
    const auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
    for (int token = pick(0, 300); token > 0; --token) {
        switch (pick(0, 5)) {
        case 0: text += static_cast<char>(pick(0, 255)); break;
        case 1: text += {static_cast<char>(pick(0x81, 0xFE)), static_cast<char>(pick(0x40, 0xFE))}; break;
        case 2: text += std::string(pick(1, 20), static_cast<char>(pick('a', 'z'))); break;
        case 3: text += "\r\n"; break;
        case 4: text += {static_cast<char>(pick(0x81, 0xFE)), pick(0, 1) ? '\r' : '\n'}; break;
        default: text += {static_cast<char>(pick(0xB0, 0xF7)), static_cast<char>(pick(0xA1, 0xFE))}; break;
        }
    }
    return text;
}

std::string randomUtf8Text(std::mt19937& random, bool illFormed)
{
    static const char* const illFormedSequences[] = {
        "\xC0\x80", "\xE0\x80\x8A", "\xED\xA0\x80", "\xE4\xB8", "\xF4\x90\x80\x80", "\x80", "\xFF", "\xF0\x9F\x98"};
    std::string text;
    const auto pick = [&](char32_t from, char32_t to) {
        return std::uniform_int_distribution<char32_t>(from, to)(random);
    };
    const auto append = [&](char32_t c) {
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        std::u16string units;
        if (c < 0x10000) {
            units += static_cast<char16_t>(c);
        } else {
            units += {static_cast<char16_t>(0xD7C0 + (c >> 10)), static_cast<char16_t>(0xDC00 | (c & 0x3FF))};
        }
        appendUtf8(units, text);
    };
    for (int token = static_cast<int>(pick(0, 300)); token > 0; --token) {
        switch (pick(0, 6)) {
        case 0: text += std::string(pick(1, 20), static_cast<char>(pick('a', 'z'))); break;
        case 1: append(pick(0x80, 0xFFFF)); break;
        case 2: append(pick(0x10000, 0x10FFFF)); break;
        case 3: text += "\r\n"; break;
        case 4:
            if (illFormed && pick(0, 3) == 0) text += illFormedSequences[pick(0, std::size(illFormedSequences) - 1)];
            break;
        default: append(pick(0x4E00, 0x9FA5)); break;
        }
    }
    return text;
}

// `text` cut into pieces at random places where `boundary(text, at)` allows.
template <typename Boundary>
std::vector<std::string_view> randomPieces(std::string_view text, std::mt19937& random, Boundary boundary)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t at = 1; at < text.size(); ++at) {
        if (boundary(text, at) && random() % 40 == 0) {
            pieces.push_back(text.substr(start, at - start));
            start = at;
        }
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

// The conversions piece by piece against ICU converting each piece as the
// charset run did before (and the code page side whole, which must agree).
TEST(CharsetPieces, MatchIcuPieceByPiece)
{
    const testing::Icu icu("windows-936-2000");
    const auto referenceToUtf8 = [&](std::string_view piece) {
        std::string out;
        appendUtf8(icu.toUtf16(piece), out);
        return out;
    };
    const auto referenceFromUtf8 = [&](std::string_view piece) -> std::optional<std::string> {
        std::u16string units;
        if (!decodeUtf8(piece, units)) return std::nullopt;
        return icu.fromUtf16(units);
    };
    const auto codePageBoundary = [](std::string_view text, std::size_t at) {
        if (static_cast<unsigned char>(text[at]) < 0x40) return true;
        std::size_t i = 0;
        while (i < at) i += text::charLength(text, i);
        return i == at;
    };
    const auto utf8Boundary = [](std::string_view text, std::size_t at) { return (text[at] & 0xC0) != 0x80; };
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        const std::string bytes = randomCodePageText(random);
        std::string ours, reference;
        for (std::string_view piece : randomPieces(bytes, random, codePageBoundary)) {
            appendCodePageAsUtf8(piece, ours);
            reference += referenceToUtf8(piece);
        }
        ASSERT_EQ(ours, reference) << ::testing::PrintToString(bytes);
        ASSERT_EQ(ours, referenceToUtf8(bytes)) << ::testing::PrintToString(bytes);

        const std::string utf8 = randomUtf8Text(random, round % 2 == 1);
        ours.clear();
        reference.clear();
        bool valid = true, referenceValid = true;
        for (std::string_view piece : randomPieces(utf8, random, utf8Boundary)) {
            valid = valid && appendUtf8AsCodePage(piece, ours);
            const std::optional<std::string> converted = referenceFromUtf8(piece);
            referenceValid = referenceValid && converted;
            if (converted) reference += *converted;
        }
        ASSERT_EQ(valid, referenceValid) << ::testing::PrintToString(utf8);
        if (valid) {
            ASSERT_EQ(ours, reference) << ::testing::PrintToString(utf8);
        }
        ASSERT_EQ(CodePage::gbk().fromUtf8(utf8), icu.between(icu.page.get(), icu.utf8.get(), utf8))
            << ::testing::PrintToString(utf8);
    }
}

TEST_F(CharsetInMemory, ToUtf8AndBack)
{
    addFile("zh.txt", gbk("中文\nab\r\n"));
    btnCharsetClick({"${ToUtf8()}"}, ws, host, fs);
    EXPECT_EQ(read("zh.qv.txt"), "\xE4\xB8\xAD\xE6\x96\x87\r\nab\r\n");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"成功处理完成,共处理 1 个文件!"});

    ws.files.clear();
    host.messages.clear();
    addFile("u8.txt", "\xE4\xB8\xAD\xE6\x96\x87\r\nab");
    btnCharsetClick({"${toansi()}"}, ws, host, fs);
    EXPECT_EQ(read("u8.qv.txt"), "\xD6\xD0\xCE\xC4\r\nab\r\n");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"成功处理完成,共处理 1 个文件!"});
}

TEST_F(Charset, AsciiIsUnchangedApartFromLineEnds)
{
    addFile("a.txt", "plain\rtext\n");
    btnCharsetClick({"${ToUtf8()}"}, ws, host, fs);
    EXPECT_EQ(read("a.qv.txt"), "plain\r\ntext\r\n");
    addFile("b.txt", "plain\rtext");
    ws.files.setMark(1, false);
    btnCharsetClick({"${ToAnsi()}"}, ws, host, fs);
    EXPECT_EQ(read("b.qv.txt"), "plain\r\ntext\r\n");
}

TEST_F(Charset, FourByteCharacterBecomesQuestionMark)
{
    addFile("e.txt", "a\xF0\x9F\x98\x80z\r\n");
    btnCharsetClick({"${ToAnsi()}"}, ws, host, fs);
    EXPECT_EQ(read("e.qv.txt"), "a?z\r\n");
}

TEST_F(Charset, InvalidUtf8IsSkippedAndNamed)
{
    addFile("good.txt", "ok");
    addFile("gbk.txt", gbk("中文"));
    addFile("cut.txt", "x\xE4\xB8\r\n");
    const OperationResult outcome = btnCharsetClick({"${ToAnsi()}"}, ws, host, fs);
    EXPECT_EQ(outcome.processed, 1);
    EXPECT_EQ(read("good.qv.txt"), "ok\r\n");
    EXPECT_FALSE(exists("gbk.qv.txt"));
    EXPECT_FALSE(exists("cut.qv.txt"));
    EXPECT_EQ(ws.counters.stChangeCount, 1);
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"成功处理完成,共处理 1 个文件!\r\n2 个文件未处理"}));
    EXPECT_EQ(host.messages[0].details,
              path("gbk.txt") + "：不是有效的UTF-8编码\r\n" + path("cut.txt") + "：不是有效的UTF-8编码");
    EXPECT_EQ(host.messages[0].kind, MessageKind::Information);
}

// Whole-text validity fed in pieces cut anywhere, inside a sequence too.
TEST(Utf8Check, WellFormedOnlyAsAWhole)
{
    struct Case {
        std::vector<std::string> pieces;
        bool wellFormed;
        bool nonAscii;
    };
    const Case cases[] = {
        {{"plain", " ascii"}, true, false},
        {{"\xE4\xB8", "\xAD", "ok"}, true, true}, // 中 cut inside
        {{"\xF0\x9F", "\x98\x80"}, true, true},   // four bytes
        {{"\xE4\xB8"}, false, true},              // cut off by the end
        {{"\xC0\xAF"}, false, true},              // overlong "/"
        {{"\xED\xA0\x80"}, false, true},          // encoded surrogate
        {{"\xF4\x90\x80\x80"}, false, true},      // above U+10FFFF
        {{"\xD6\xD0\xCE\xC4"}, false, true},      // 中文 in code page 936
        {{"\xE4\xB8\xAD", "a\xFF"}, false, true}, // good first piece, bad later
    };
    for (const Case& c : cases) {
        Utf8Check check;
        for (const std::string& piece : c.pieces) check.feed(piece);
        EXPECT_EQ(check.wellFormed(), c.wellFormed) << ::testing::PrintToString(c.pieces);
        EXPECT_EQ(check.sawNonAscii(), c.nonAscii) << ::testing::PrintToString(c.pieces);
    }
}

// A file already in UTF-8 is left alone, not encoded twice; one that is
// UTF-8 only in its first block is converted whole.
TEST_F(Charset, ToUtf8LeavesUtf8FilesAlone)
{
    const std::string longAscii(300000, 'a'); // past the first block
    addFile("u8.txt", "\xE4\xB8\xAD\xE6\x96\x87\r\n");
    addFile("gbk.txt", "\xD6\xD0\xCE\xC4\r\n");
    addFile("ascii.txt", "plain\n");
    addFile("late.txt", "\xC3\xA9\n" + longAscii + "\n\xD6\xD0\xCE\xC4");
    addFile("bom.txt", "\xEF\xBB\xBF"
                       "ab\r\n");
    const OperationResult outcome = btnCharsetClick({"${ToUtf8()}"}, ws, host, fs);
    EXPECT_EQ(outcome.processed, 3);
    EXPECT_FALSE(exists("u8.qv.txt"));
    EXPECT_FALSE(exists("bom.qv.txt"));
    EXPECT_EQ(read("gbk.qv.txt"), "\xE4\xB8\xAD\xE6\x96\x87\r\n");
    EXPECT_EQ(read("ascii.qv.txt"), "plain\r\n");
    EXPECT_EQ(read("late.qv.txt"), "\xE8\x8C\x85\r\n" + longAscii + "\r\n\xE4\xB8\xAD\xE6\x96\x87\r\n"); // 茅 ... 中文
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"成功处理完成,共处理 3 个文件!\r\n2 个文件未处理"}));
    EXPECT_EQ(host.messages[0].details,
              path("u8.txt") + "：已是 UTF-8 编码，未转换\r\n" + path("bom.txt") + "：已是 UTF-8 编码，未转换");
}

// Characters GBK lacks still become "?", and the files that had them are
// named with how many.
TEST_F(Charset, ToAnsiCountsTheCharactersItReplaced)
{
    addFile("tick.txt", "done \xE2\x9C\x93?\r\n\xF0\x9F\x98\x80\xF0\x9F\x98\x80\r\n"); // ✓ and two emoji
    addFile("fine.txt", "why?\r\n");
    addFile("bad.txt", "\xE2\x9C\x93\xFF\r\n");
    const OperationResult outcome = btnCharsetClick({"${ToAnsi()}"}, ws, host, fs);
    EXPECT_EQ(outcome.processed, 2);
    EXPECT_EQ(read("tick.qv.txt"), "done ??\r\n??\r\n");
    EXPECT_EQ(read("fine.qv.txt"), "why?\r\n");
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"成功处理完成,共处理 2 个文件!\r\n1 个文件未处理",
                                                        "有 1 个文件含有无法以GBK编码表示的字符，已替换为“?”。"}));
    EXPECT_EQ(host.messages[1].details, path("tick.txt") + "：3 个字符已替换为“?”");
}

TEST_F(Charset, LongLinesCrossPieceBoundaries)
{
    // 40,000 double-byte characters after one ASCII byte: the 64 KiB pieces
    // fall in the middle of characters and must be moved to their starts.
    std::string source = "a", utf8 = "a";
    for (int i = 0; i < 40000; ++i) {
        source += "\xD6\xD0";
        utf8 += "\xE4\xB8\xAD";
    }
    addFile("long.txt", source + "\nb");
    btnCharsetClick({"${ToUtf8()}"}, ws, host, fs);
    EXPECT_EQ(read("long.qv.txt"), utf8 + "\r\nb\r\n");

    addFile("long8.txt", utf8 + "\nb");
    ws.files.setMark(1, false);
    btnCharsetClick({"${ToAnsi()}"}, ws, host, fs);
    EXPECT_EQ(read("long8.qv.txt"), source + "\r\nb\r\n");
}

TEST_F(Charset, RefusalsAndUnknownCalls)
{
    addFile("a.txt", "x");
    ws.counters.stChangeCount = 3;
    const OperationResult empty = btnCharsetClick({""}, ws, host, fs);
    EXPECT_EQ(refusalFocus(empty), "edtCharset");
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"新文件格式为空,请输入后再试!"});

    host.messages.clear();
    const OperationResult other = btnCharsetClick({"${ToBig5()}"}, ws, host, fs);
    EXPECT_EQ(other.status, OperationResult::Status::Refused);
    EXPECT_FALSE(other.refusal);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(exists("a.qv.txt"));
    EXPECT_EQ(ws.counters.stChangeCount, 3);
}

TEST_F(Charset, UnreadableThirdFileLeavesTwoOutputs)
{
    addFile("a.txt", "a");
    addFile("b.txt", "b");
    addEntry("missing.txt");
    EXPECT_THROW(btnCharsetClick({"${ToUtf8()}"}, ws, host, fs), RunError);
    EXPECT_EQ(read("a.qv.txt"), "a\r\n");
    EXPECT_EQ(read("b.qv.txt"), "b\r\n");
    EXPECT_EQ(ws.counters.stChangeCount, 2);
}

} // namespace
} // namespace qv
