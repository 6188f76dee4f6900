#include "platform/disk_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qv::NameEncoding;
using qv::NameFault;

struct Readable {
    const char* why;
    std::string disk;
    std::string text; // code page 936
    NameEncoding encoding;
};

TEST(DiskNameTest, ReadsUtf8NamesThenGbkNames)
{
    const Readable cases[] = {
        {"ASCII", "report.txt", "report.txt", NameEncoding::Utf8},
        {"UTF-8 Chinese", "\xE4\xB8\xAD\xE6\x96\x87.txt", "\xD6\xD0\xCE\xC4.txt", NameEncoding::Utf8},
        {"GBK Chinese", "\xD6\xD0\xCE\xC4.txt", "\xD6\xD0\xCE\xC4.txt", NameEncoding::Gbk},
        {"GBK with a trail byte in the ASCII range", "\x81\x47", "\x81\x47", NameEncoding::Gbk},
        {"GBK euro sign", "\x80.txt", "\x80.txt", NameEncoding::Gbk},
        {"bytes valid both ways read as UTF-8", "\xC3\xA9", "\xA8\xA6", NameEncoding::Utf8},
    };
    for (const Readable& c : cases) {
        const auto decoded = qv::decodeDiskName(c.disk);
        ASSERT_TRUE(decoded) << c.why;
        EXPECT_EQ(decoded->text, c.text) << c.why;
        EXPECT_EQ(decoded->encoding, c.encoding) << c.why;
        EXPECT_EQ(qv::diskFormOf(decoded->text, decoded->encoding), c.disk) << c.why;
    }
}

struct Unreadable {
    const char* why;
    std::string disk;
    NameFault fault;
};

TEST(DiskNameTest, LeavesOutNamesWithNoExactText)
{
    const Unreadable cases[] = {
        {"emoji in UTF-8", "\xF0\x9F\x98\x80.txt", NameFault::NoGbkForm},
        {"zero-width space in UTF-8",
         "a\xE2\x80\x8B"
         "b",
         NameFault::NoGbkForm},
        {"lone lead byte before ASCII", "\xD6.txt", NameFault::NeitherEncoding},
        {"lead byte at the end", "ab\xD6", NameFault::NeitherEncoding},
        {"0xFF", "\xD6\xD0\xFF", NameFault::NeitherEncoding},
        {"trail byte 0x7F", "\xD6\x7F", NameFault::NeitherEncoding},
        {"Latin-1", "caf\xE9", NameFault::NeitherEncoding},
    };
    for (const Unreadable& c : cases) {
        NameFault fault = NameFault::NoGbkForm;
        if (c.fault == NameFault::NoGbkForm) fault = NameFault::NeitherEncoding;
        EXPECT_FALSE(qv::decodeDiskName(c.disk, &fault)) << c.why;
        EXPECT_EQ(fault, c.fault) << c.why;
    }
}

TEST(DiskNameTest, ShowsEachPathElementAsItsText)
{
    EXPECT_EQ(qv::shownPath("/tmp/\xE4\xB8\xAD/\xD6\xD0.txt"), "/tmp/\xD6\xD0/\xD6\xD0.txt");
    EXPECT_EQ(qv::shownPath("a/caf\xE9"), "a/caf?");
    EXPECT_EQ(qv::utf8DiskForm("\xD6\xD0\xCE\xC4"), "\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_EQ(qv::utf8DiskForm(std::string("a\0b", 3)), std::nullopt);
}

} // namespace
