#include "template/date_format.h"

#include "support/gbk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
namespace {

using testing::gbk;

struct FormatCase {
    std::string format;
    std::string expected;
};

// Thursday 2026-03-05 14:05:07.009: every field has fewer digits than its
// widest form, so padding shows.
constexpr LocalDateTime kAfternoon{2026, 3, 5, 14, 5, 7, 9};
// Tuesday 2026-12-08 09:30:15.250.
constexpr LocalDateTime kMorning{2026, 12, 8, 9, 30, 15, 250};

void expectFormats(const LocalDateTime& moment, const std::vector<FormatCase>& cases)
{
    for (const auto& c : cases)
        EXPECT_EQ(formatDateTime(c.format, moment), c.expected) << "format: " << testing::utf8(c.format);
}

TEST(FormatDateTime, FormatsDateFields)
{
    expectFormats(kAfternoon, {
                                  {"y", "26"},
                                  {"yy", "26"},
                                  {"yyy", "2026"},
                                  {"yyyy", "2026"},
                                  {"m", "3"},
                                  {"mm", "03"},
                                  {"mmm", gbk("3月")},
                                  {"mmmm", gbk("三月")},
                                  {"mmmmm", gbk("三月")},
                                  {"d", "5"},
                                  {"dd", "05"},
                                  {"ddd", gbk("周四")},
                                  {"dddd", gbk("星期四")},
                                  {"ddddd", "2026/3/5"},
                                  {"dddddd", gbk("2026年3月5日")},
                                  {"yyyy-mmm-dd", gbk("2026-3月-05")},
                              });
    expectFormats(kMorning, {
                                {"mmm", gbk("12月")},
                                {"mmmm", gbk("十二月")},
                                {"ddd", gbk("周二")},
                                {"dddd", gbk("星期二")},
                            });
}

TEST(FormatDateTime, FormatsTimeFields)
{
    expectFormats(kAfternoon, {
                                  {"h", "14"},
                                  {"hh", "14"},
                                  {"hhh", "14"},
                                  {"n", "5"},
                                  {"nn", "05"},
                                  {"nnn", "05"},
                                  {"s", "7"},
                                  {"ss", "07"},
                                  {"z", "9"},
                                  {"zz", "9"},
                                  {"zzz", "009"},
                                  {"t", "14:05"},
                                  {"tt", "14:05:07"},
                                  {"c", "2026/3/5 14:05:07"},
                                  {"hh:nn:ss", "14:05:07"},
                              });
    expectFormats(kMorning, {{"h:n:s.zzz", "9:30:15.250"}, {"hh", "09"}, {"t", "9:30"}});
}

TEST(FormatDateTime, SpecifiersIgnoreLetterCase)
{
    expectFormats(kAfternoon, {
                                  {"YYYY-MM-DD", "2026-03-05"},
                                  {"YyYy", "2026"},
                                  {"HH:NN:SS", "14:05:07"},
                                  {"DDDD", gbk("星期四")},
                                  {"C", "2026/3/5 14:05:07"},
                              });
}

TEST(FormatDateTime, MonthRunAfterAnHourMeansMinutes)
{
    expectFormats(kAfternoon, {
                                  {"h:m", "14:5"},
                                  {"hh:mm", "14:05"},
                                  {"hhmm", "1405"},
                                  {"H:MM:ss", "14:05:07"},
                                  {gbk("hh时mm分"), gbk("14时05分")},
                                  {"h 'x' m", "14 x 5"},
                                  {"hh:mmm", "14:05"},
                                  {"hh d mm", "14 5 03"}, // a letter in between: the month again
                                  {"mm hh", "03 14"},
                              });
}

TEST(FormatDateTime, CopiesQuotedAndOtherText)
{
    expectFormats(kAfternoon, {
                                  {"'yyyy'", "yyyy"},
                                  {"\"mm\"", "mm"},
                                  {"'it''s'", "its"},
                                  {"'unterminated", "unterminated"},
                                  {"'", ""},
                                  {"\"a'b\"", "a'b"},
                                  {gbk("'年'"), gbk("年")},
                                  {"x/q", "x/q"},
                                  {"_-.#1", "_-.#1"},
                                  {"ab", "ab"}, // "a" starts no marker, "b" is no specifier
                                  {"abc", "ab2026/3/5 14:05:07"},
                                  {"", ""},
                              });
}

TEST(FormatDateTime, KeepsDoubleByteCharactersWhole)
{
    // A lead byte and the byte after it are one character: a second byte
    // 0x6D ("m"), 0x64 ("d") or a quote is copied, never read as a specifier.
    expectFormats(kAfternoon, {
                                  {"\x81m", "\x81m"},
                                  {"\x81\x64yyyy", "\x81\x64"
                                                   "2026"},
                                  {"'\x81''yy", "\x81'26"},
                                  {"yy\x81", "26\x81"},
                              });
}

TEST(FormatDateTime, TwelveHourMarkers)
{
    expectFormats(kAfternoon, {
                                  {"h am/pm", "2 pm"},
                                  {"h AM/PM", "2 PM"},
                                  {"hh:nn A/P", "02:05 P"},
                                  {"h ampm", gbk("2 下午")},
                                  {"ampm h", gbk("下午 2")},
                                  {"am/pm", "pm"},
                                  {"hh a", "14 a"}, // a lone "a" is no marker
                                  {"h 'am/pm' h am/pm", "14 am/pm 2 pm"},
                                  {"h:nn h am/pm", "14:05 2 pm"}, // the first hour sees "h" before the marker
                              });
    expectFormats(kMorning, {{"h am/pm", "9 am"}, {"ampm", gbk("上午")}, {"a/p", "a"}});
    expectFormats({2026, 1, 1, 0, 15, 0, 0}, {{"h:nn am/pm", "12:15 am"}, {"hh", "00"}});
    expectFormats({2026, 1, 1, 12, 0, 0, 0}, {{"h am/pm", "12 pm"}});
}

TEST(DayOfWeek, CountsFromSunday)
{
    EXPECT_EQ(dayOfWeek(2026, 12, 8), 2);
    EXPECT_EQ(dayOfWeek(2026, 3, 5), 4);
    EXPECT_EQ(dayOfWeek(1899, 12, 30), 6);
    EXPECT_EQ(dayOfWeek(2000, 2, 29), 2);
    EXPECT_EQ(dayOfWeek(2024, 1, 1), 1);
}

} // namespace
} // namespace qv
