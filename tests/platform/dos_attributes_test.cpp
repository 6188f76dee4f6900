#include "platform/dos_attributes.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using namespace std::chrono;
using namespace std::string_literals;

// 2024-01-01 00:00:00 UTC as an NT time, and its little-endian bytes.
constexpr std::uint64_t newYear2024 = 133485408000000000;
const std::string newYear2024Bytes = "\x00\xC0\x89\x76\x45\x3C\xDA\x01"s;

// The body of a version 3 blob after its header.
const std::string versionThreeBody = "\x11\x00\x00\x00"s                                       // valid flags
                                     "\x24\x00\x00\x00"s                                       // attrib
                                     "\x00\x00\x00\x00"s                                       // ea_size
                                     "\x00\x10\x00\x00\x00\x00\x00\x00"s                       // size
                                     "\x00\x10\x00\x00\x00\x00\x00\x00"s                       // alloc_size
                                     + newYear2024Bytes + "\x99\x99\x99\x99\x99\x99\x99\x01"s; // change_time

TEST(DosAttributesDecode, EachVersionGivesTheAttributesAndTheCreationTime)
{
    struct Case {
        const char* what;
        std::string blob;
        std::uint32_t attributes;
    };
    const Case cases[] = {
        {"version 5 as Samba writes it",
         "\x00\x00\x05\x00\x05\x00\x00\x00"s // empty text, version, discriminant, padding
         "\x11\x00\x00\x00"s                 // valid: attrib, create_time
         "\x21\x00\x00\x00"s +
             newYear2024Bytes,
         0x21},
        {"version 4 skips the invented time",
         "\x00\x00\x04\x00\x04\x00\x00\x00"s
         "\x11\x00\x00\x00"s
         "\x22\x00\x00\x00"s
         "\x01\x02\x03\x04\x05\x06\x07\x08"s +
             newYear2024Bytes,
         0x22},
        {"version 3 with sizes before the times", "\x00\x00\x03\x00\x03\x00\x00\x00"s + versionThreeBody, 0x24},
        {"version 1 has no valid flags",
         "\x00\x00\x01\x00\x01\x00\x00\x00"s
         "\x20\x00\x00\x00"s
         "\x00\x00\x00\x00"s
         "\x05\x00\x00\x00\x00\x00\x00\x00"s
         "\x00\x10\x00\x00\x00\x00\x00\x00"s +
             newYear2024Bytes + "\x00\x00\x00\x00\x00\x00\x00\x00"s,
         0x20},
        // "0x20" text (5 bytes with its NUL), one byte to align, then version 3.
        {"binary behind old hex text wins",
         "0x20\x00"s
         "\x00"
         "\x03\x00\x03\x00"
         "\x00\x00"s
         "\x11\x00\x00\x00"
         "\x21\x00\x00\x00"
         "\x00\x00\x00\x00"s +
             std::string(16, '\0') + newYear2024Bytes + std::string(8, '\0'),
         0x21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto decoded = decodeDosAttributes(c.blob);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->attributes, c.attributes);
        EXPECT_EQ(decoded->createTime, newYear2024);
    }
}

TEST(DosAttributesDecode, AttributeBitsWithoutTheirValidFlagDoNotCount)
{
    std::string createOnly = "\x00\x00\x03\x00\x03\x00\x00\x00"s + versionThreeBody;
    createOnly[8] = '\x10';
    const auto partial = decodeDosAttributes(createOnly);
    ASSERT_TRUE(partial);
    EXPECT_FALSE(partial->attributes);
    EXPECT_EQ(partial->createTime, newYear2024);
}

TEST(DosAttributesDecode, HexTextForm)
{
    EXPECT_EQ(decodeDosAttributes("0x20")->attributes, 0x20u);
    EXPECT_EQ(decodeDosAttributes("0x20\x00"s)->attributes, 0x20u);
    EXPECT_EQ(decodeDosAttributes("0X1a")->attributes, 0x1Au);
    EXPECT_EQ(decodeDosAttributes("0xFFFFFFFF")->attributes, 0xFFFFFFFFu);
    EXPECT_FALSE(decodeDosAttributes("0x20")->createTime);
    EXPECT_FALSE(decodeDosAttributes("0x"));
    EXPECT_FALSE(decodeDosAttributes("0x123456789"));
    EXPECT_FALSE(decodeDosAttributes("0xzz"));
    EXPECT_FALSE(decodeDosAttributes("20"));
    EXPECT_FALSE(decodeDosAttributes(""));
}

TEST(DosAttributesDecode, UnknownBitsAreKept)
{
    const std::string blob = "\x00\x00\x05\x00\x05\x00\x00\x00"s
                             "\x01\x00\x00\x00"s
                             "\x20\x80\x20\x40"s +
                             std::string(8, '\0');
    EXPECT_EQ(decodeDosAttributes(blob)->attributes, 0x40208020u);
    EXPECT_FALSE(decodeDosAttributes(blob)->createTime);
}

TEST(DosAttributesDecode, DamagedBlobsGiveNothing)
{
    const std::string good = "\x00\x00\x05\x00\x05\x00\x00\x00"s
                             "\x11\x00\x00\x00"s
                             "\x21\x00\x00\x00"s +
                             newYear2024Bytes;
    EXPECT_FALSE(decodeDosAttributes(good.substr(0, 23)));                           // cut short
    EXPECT_FALSE(decodeDosAttributes("\x00\x00\x05\x00\x04\x00"s + good.substr(6))); // discriminant differs
    EXPECT_FALSE(decodeDosAttributes("\x00\x00\x06\x00\x06\x00"s + good.substr(6))); // unknown version
    EXPECT_FALSE(decodeDosAttributes("\x00"s));
    EXPECT_FALSE(decodeDosAttributes("abc\x00\x05"s));
}

TEST(DosAttributesEncode, VersionFiveBytes)
{
    EXPECT_EQ(encodeDosAttributes(0x21, newYear2024), "\x00\x00\x05\x00\x05\x00\x00\x00"s
                                                      "\x11\x00\x00\x00"s
                                                      "\x21\x00\x00\x00"s +
                                                          newYear2024Bytes);
    EXPECT_EQ(encodeDosAttributes(0x40000022, std::nullopt), "\x00\x00\x05\x00\x05\x00\x00\x00"s
                                                             "\x01\x00\x00\x00"s
                                                             "\x22\x00\x00\x40"s +
                                                                 std::string(8, '\0'));
}

TEST(DosAttributesEncode, RoundTrip)
{
    const auto decoded = decodeDosAttributes(encodeDosAttributes(0x80002006, 1));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->attributes, 0x80002006u);
    EXPECT_EQ(decoded->createTime, 1u);
}

TEST(NtTime, ConvertsToAndFromFileTime)
{
    EXPECT_EQ(ntTimeToFileTime(newYear2024), FileTime(sys_days(year(2024) / 1 / 1)));
    EXPECT_EQ(ntTimeToFileTime(116444736000000001), FileTime(nanoseconds(100)));
    EXPECT_FALSE(ntTimeToFileTime(0));
    EXPECT_FALSE(ntTimeToFileTime(0xFFFFFFFFFFFFFFFFull));
    EXPECT_FALSE(ntTimeToFileTime(1)); // 1601 is before what FileTime holds

    EXPECT_EQ(fileTimeToNtTime(FileTime(sys_days(year(2024) / 1 / 1))), newYear2024);
    EXPECT_EQ(fileTimeToNtTime(FileTime(nanoseconds(150))), 116444736000000001u);
    EXPECT_EQ(fileTimeToNtTime(FileTime(nanoseconds(-50))), 116444735999999999u);
}

} // namespace
} // namespace qv
