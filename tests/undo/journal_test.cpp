#include "undo/journal.h"

#include "support/gbk.h"
#include "undo/content_hash.h"

#include <gtest/gtest.h>

namespace qv::testing {
namespace {

FileTime ns(std::int64_t count)
{
    return FileTime(std::chrono::nanoseconds(count));
}

std::string u32le(std::uint32_t v)
{
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

std::string text(std::string_view s)
{
    return u32le(static_cast<std::uint32_t>(s.size())) + std::string(s);
}

// A record around `body` with the checksum the format defines.
std::string framed(std::string_view body)
{
    const std::string length = u32le(static_cast<std::uint32_t>(body.size()));
    ContentHash hash;
    hash.update(length);
    hash.update(body);
    return length + u32le(static_cast<std::uint32_t>(hash.digest())) + std::string(body);
}

// magic, RunBegin r1 (41 bytes at 4), Rename r1 a -> b (30 at 45), RunEnd r1 (15 at 75): 90 bytes.
std::string threeRecords()
{
    std::string out(journalMagic);
    appendRecord(out, "r1", RecordBody{RunBeginRecord{"op", ns(0), 0, {}}});
    appendRename(out, "r1", "a", "b");
    appendRecord(out, "r1", RecordBody{RunEndRecord{}});
    return out;
}

TEST(ContentHash, KnownValues)
{
    struct Case {
        std::string_view bytes;
        std::uint64_t hash;
    } cases[] = {
        {"", 0xEF46DB3751D8E999},
        {"a", 0xD24EC4F1A98C6E5B},
        {"abc", 0x44BC2CF5AD770999},
        {"Nobody inspects the spammish repetition", 0xFBCEA83C8A378BF1},
    };
    for (const Case& c : cases) EXPECT_EQ(hashBytes(c.bytes), c.hash) << c.bytes;

    // The same stream in uneven pieces, across the 32-byte stripes.
    ContentHash pieces;
    for (std::string_view piece : {"N", "obody", " inspects the spammish repetitio", "n"}) pieces.update(piece);
    EXPECT_EQ(pieces.digest(), 0xFBCEA83C8A378BF1u);
}

TEST(JournalFormat, RenameRecordBytes)
{
    std::string out;
    appendRename(out, "r1", "a", "b");
    const std::string body = std::string("\x02") + text("r1") + text("a") + u32le(0) + text("b") + std::string(1, '\0');
    EXPECT_EQ(out.substr(0, 4), std::string("\x16\0\0\0", 4));
    EXPECT_EQ(out, framed(body));
}

TEST(JournalFormat, RenameIdentityForms)
{
    // The form byte after the names: 0 none, 1 size and time (journals
    // written before file numbers were kept), 2 with device and file number.
    const std::string names = text("r1") + text("a") + u32le(0) + text("b");
    const std::string sizeAndTime = u32le(5) + u32le(0) + u32le(7) + u32le(0) + u32le(9);
    const std::string numbers = u32le(0x801) + u32le(0) + u32le(42) + u32le(0);
    struct Case {
        std::string form;
        std::optional<FileIdentity> identity; // nothing: the record is damage
        bool damaged;
    } cases[] = {
        {std::string(1, '\0'), std::nullopt, false},
        {"\x01" + sizeAndTime, FileIdentity{5, ns(7'000'000'009)}, false},
        {"\x02" + sizeAndTime + numbers, FileIdentity{5, ns(7'000'000'009), 0x801, 42}, false},
        {"\x03" + sizeAndTime + numbers, std::nullopt, true},
    };
    for (const Case& c : cases) {
        const JournalContents read = readJournal(std::string(journalMagic) + framed("\x02" + names + c.form));
        EXPECT_EQ(read.damage.has_value(), c.damaged) << static_cast<int>(c.form[0]);
        if (c.damaged) continue;
        ASSERT_EQ(read.records.size(), 1u);
        EXPECT_EQ(std::get<RenameRecord>(read.records[0].body).identity, c.identity) << static_cast<int>(c.form[0]);
    }
}

TEST(JournalFormat, EveryRecordKindRoundTrips)
{
    const std::string gbkName = gbk("报告 一.txt");
    const std::pair<std::string, RecordBody> records[] = {
        {"1714572202-4711-1",
         RunBeginRecord{gbk("更改文件名称"), ns(1714572202'123456789), 28800, {{"template", "${sn(1,3)}"}, {"x", ""}}}},
        {"r", RunBeginRecord{"", ns(-1), -18000, {}}},
        {"r", RenameRecord{"/d/" + gbkName, std::string("/d/\x01\n\xff\x80", 7), std::nullopt}},
        {"r", RenameRecord{"/d/a", "/d/tmp", FileIdentity{12345, ns(-7), 0x801, UINT64_MAX}}},
        {"r", RenameRecord{"/d/x", "/d/x.bak", std::nullopt}},
        {"r", RenameRecord{"/d/abc", "/d/ab", std::nullopt}},
        {"r", RenameRecord{"a", "/d/a", std::nullopt}},
        {"r", TimesRecord{"/d/a", ns(1), ns(-1'500'000'000), ns(999'999'999)}},
        {"r", TimesRecord{"/d/a", FileTime::min(), FileTime::max(), std::nullopt}},
        {"r", AttributesRecord{"/d/a", 0x21, std::string("\0\x05\0\x05\0", 5), 0644}},
        {"r", AttributesRecord{"/d/a", attr::normal, std::nullopt, std::nullopt}},
        {"r", OutputRecord{"/d/out.txt", UINT64_MAX, ns(42), 0x0123456789ABCDEF, true}},
        {"r", OutputRecord{"/d/o", 0, ns(0), 0, false}},
        {"u", UndoMarkerRecord{"1714572202-4711-1"}},
        {"u", RunEndRecord{}},
    };
    std::string bytes(journalMagic);
    for (const auto& [id, body] : records) appendRecord(bytes, id, body);

    const JournalContents read = readJournal(bytes);
    EXPECT_FALSE(read.damage);
    EXPECT_EQ(read.validSize, bytes.size());
    ASSERT_EQ(read.records.size(), std::size(records));
    std::uint64_t offset = 4;
    for (std::size_t i = 0; i < read.records.size(); ++i) {
        EXPECT_EQ(read.records[i].runId, records[i].first) << i;
        EXPECT_EQ(read.records[i].body, records[i].second) << i;
        EXPECT_EQ(read.records[i].offset, offset) << i;
        offset += read.records[i].size;
    }
}

TEST(JournalFormat, DamageKeepsEveryWholeRecordBefore)
{
    const std::string base = threeRecords();
    ASSERT_EQ(base.size(), 90u);
    const auto flipped = [&](std::size_t at, char mask) {
        std::string s = base;
        s[at] ^= mask;
        return s;
    };
    const auto withLength = [&](std::uint32_t length) {
        std::string s = base;
        s.replace(45, 4, u32le(length));
        return s;
    };
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t kept;
        JournalDamage damage;
        std::uint64_t validSize;
    } cases[] = {
        {"cut in the last frame", base.substr(0, 79), 2, {75, JournalDamageKind::Truncated}, 75},
        {"cut in the last body", base.substr(0, 85), 2, {75, JournalDamageKind::Truncated}, 75},
        {"cut in the magic", "QV", 0, {0, JournalDamageKind::Truncated}, 0},
        {"garbage after the end", base + "xyz", 3, {90, JournalDamageKind::Truncated}, 90},
        {"zeros after the end", base + std::string(16, '\0'), 3, {90, JournalDamageKind::BadLength}, 90},
        {"flipped body byte", flipped(60, 0x01), 1, {45, JournalDamageKind::BadChecksum}, 45},
        {"flipped checksum byte", flipped(49, '\x80'), 1, {45, JournalDamageKind::BadChecksum}, 45},
        {"length one longer", withLength(23), 1, {45, JournalDamageKind::BadChecksum}, 45},
        {"absurd length", withLength(0xFFFFFFFF), 1, {45, JournalDamageKind::BadLength}, 45},
        {"length over the record limit", withLength(maxRecordBody + 1), 1, {45, JournalDamageKind::BadLength}, 45},
        {"length below any record", withLength(3), 1, {45, JournalDamageKind::BadLength}, 45},
        {"foreign magic", "QVJ2" + base.substr(4), 0, {0, JournalDamageKind::ForeignFile}, 0},
        {"text file", "hello world\n", 0, {0, JournalDamageKind::ForeignFile}, 0},
        {"short foreign file", "X", 0, {0, JournalDamageKind::ForeignFile}, 0},
    };
    for (const Case& c : cases) {
        const JournalContents read = readJournal(c.bytes);
        EXPECT_EQ(read.records.size(), c.kept) << c.what;
        EXPECT_EQ(read.damage, c.damage) << c.what;
        EXPECT_EQ(read.validSize, c.validSize) << c.what;
    }
    EXPECT_FALSE(readJournal("").damage);
    EXPECT_FALSE(readJournal(journalMagic).damage);
}

TEST(JournalFormat, RecordsThatMakeNoSenseAreDamage)
{
    const std::string id = text("r1");
    const std::string zeroTime = u32le(0) + u32le(0) + u32le(0);
    struct Case {
        const char* what;
        std::string body;
    } cases[] = {
        {"unknown kind", "\x63" + id},
        {"NUL in a path", "\x02" + id + text(std::string("a\0b", 3)) + text("c")},
        {"empty path", "\x02" + id + text("") + text("c")},
        {"path over the limit", "\x02" + id + text(std::string(maxPathLength + 1, 'p')) + text("c")},
        {"byte after the fields", "\x02" + id + text("a") + u32le(0) + text("b") + std::string(1, '\0') + "x"},
        {"new path sharing more than the old path",
         "\x02" + id + text("ab") + u32le(3) + text("c") + std::string(1, '\0')},
        {"shared start not the longest", "\x02" + id + text("ab") + u32le(1) + text("bc") + std::string(1, '\0')},
        {"empty new path", "\x02" + id + text("ab") + u32le(0) + text("") + std::string(1, '\0')},
        {"text longer than the body", "\x02" + id + u32le(1000) + "a"},
        {"flag neither 0 nor 1", "\x03" + id + text("a") + zeroTime + zeroTime + "\x02"},
        {"a second's worth of nanoseconds",
         "\x03" + id + text("a") + u32le(0) + u32le(0) + u32le(1'000'000'000) + zeroTime + std::string(1, '\0')},
        {"seconds FileTime cannot hold",
         "\x03" + id + text("a") + u32le(0) + u32le(0x7FFFFFFF) + u32le(0) + zeroTime + std::string(1, '\0')},
        {"four billion parameters", "\x01" + id + text("op") + zeroTime + u32le(0) + u32le(0xFFFFFFFF)},
        {"empty run id", "\x07" + text("") + "x"},
        {"run id over the limit", "\x07" + text(std::string(maxRunIdLength + 1, 'r'))},
    };
    for (const Case& c : cases) {
        std::string bytes(journalMagic);
        appendRename(bytes, "r1", "a", "b");
        bytes += framed(c.body);
        const JournalContents read = readJournal(bytes);
        EXPECT_EQ(read.records.size(), 1u) << c.what;
        EXPECT_EQ(read.damage, (JournalDamage{34, JournalDamageKind::BadRecord})) << c.what;
    }
}

TEST(JournalFormat, DamageMessages)
{
    EXPECT_EQ(utf8(journalDamageMessage({75, JournalDamageKind::Truncated})),
              "撤销记录文件已损坏（第 75 字节起的记录不完整），之后的内容已忽略");
    EXPECT_EQ(utf8(journalDamageMessage({45, JournalDamageKind::BadChecksum})),
              "撤销记录文件已损坏（第 45 字节起的记录校验和不符），之后的内容已忽略");
    EXPECT_EQ(utf8(journalDamageMessage({0, JournalDamageKind::ForeignFile})), "撤销记录文件不是本程序的格式，已忽略");
}

} // namespace
} // namespace qv::testing
