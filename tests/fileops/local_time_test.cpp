#include "fileops/local_time.h"

#include "support/run_error_message.h"
#include "text/run_error.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

constexpr std::int64_t beijing = 8 * 3600;

TEST(LocalTime, MidnightOfADay)
{
    EXPECT_EQ(localMidnight({1970, 1, 1}), 0);
    EXPECT_EQ(localMidnight({2020, 1, 2}), 1577923200000);
    EXPECT_EQ(localMidnight({2024, 2, 29}), 1709164800000);
    EXPECT_EQ(localMidnight({1601, 1, 1}), -11644473600000);
    EXPECT_EQ(localMidnight({2023, 2, 29}), std::nullopt);
    EXPECT_EQ(localMidnight({2023, 13, 1}), std::nullopt);
    EXPECT_EQ(localMidnight({2023, 0, 1}), std::nullopt);
    EXPECT_EQ(localMidnight({0, 1, 1}), std::nullopt);
    EXPECT_EQ(localMidnight({10000, 1, 1}), std::nullopt);
}

TEST(LocalTime, FileTimeToLocalAndBackWithTheOffset)
{
    // 2023-06-07 07:04:05.123 UTC is 15:04:05.123 in Beijing.
    const FileTime t = FileTime(std::chrono::milliseconds(1686121445123));
    EXPECT_EQ(toLocalMilliseconds(t, beijing), 1686150245123);
    EXPECT_EQ(fromLocalMilliseconds(1686150245123, beijing), t);
    // Nanoseconds round down, also before 1970.
    EXPECT_EQ(toLocalMilliseconds(FileTime(std::chrono::nanoseconds(-1)), 0), -1);
    EXPECT_EQ(toLocalMilliseconds(FileTime(std::chrono::nanoseconds(1'999'999)), 0), 1);
    // Beyond what a FileTime holds.
    EXPECT_EQ(fromLocalMilliseconds(localMidnight({9999, 12, 31}).value(), beijing), std::nullopt);
    EXPECT_EQ(fromLocalMilliseconds(localMidnight({1601, 1, 1}).value(), beijing), std::nullopt);
    EXPECT_EQ(fromLocalMilliseconds(INT64_MIN, beijing), std::nullopt);
}

TEST(LocalTime, TimeOfDayOfLocalMilliseconds)
{
    const auto check = [](std::int64_t ms, int h, int m, int s, int z) {
        const TimeOfDay t = timeOfDayOf(ms);
        EXPECT_EQ(t.hour, h) << ms;
        EXPECT_EQ(t.minute, m) << ms;
        EXPECT_EQ(t.second, s) << ms;
        EXPECT_EQ(t.millisecond, z) << ms;
    };
    check(0, 0, 0, 0, 0);
    check(1686150245123, 15, 4, 5, 123);
    check(-1, 23, 59, 59, 999);
    check(86'399'999, 23, 59, 59, 999);
    EXPECT_EQ(millisecondsOf({15, 4, 5, 123}), 54245123);
}

TEST(LocalTime, TimeTexts)
{
    struct Case {
        std::string text;
        int h, m, s, z;
    } good[] = {
        {"15:04:05", 15, 4, 5, 0},   {"8:0", 8, 0, 0, 0},    {"08:00:00.250", 8, 0, 0, 250},
        {"23:59:59", 23, 59, 59, 0}, {"0:00:7", 0, 0, 7, 0},
    };
    for (const auto& c : good) {
        const TimeOfDay t = parseTimeOfDay(c.text);
        EXPECT_EQ((std::vector<int>{t.hour, t.minute, t.second, t.millisecond}), (std::vector<int>{c.h, c.m, c.s, c.z}))
            << c.text;
    }
    for (const char* bad : {"", "24:00:00", "12:60", "12:00:60", "12", "12:", "1:2:3.4", "12:00:00 ", " 12:00",
                            "2024-03-05 14:07:09", "123:00", "12-00", "12:00:00.1234"}) {
        EXPECT_EQ(testing::runErrorMessage([&] { parseTimeOfDay(bad); }),
                  "'" + std::string(bad) + "' is not a valid time");
    }
}

TEST(LocalTime, DateTexts)
{
    EXPECT_EQ(parseDate("2020-01-02"), (CalendarDate{2020, 1, 2}));
    EXPECT_EQ(parseDate("2024-2-29"), (CalendarDate{2024, 2, 29}));
    EXPECT_EQ(parseDate("1601-01-01"), (CalendarDate{1601, 1, 1}));
    for (const char* bad :
         {"", "2023-02-29", "1600-12-31", "20-01-02", "2020/01/02", "2020-01-02 ", "2020-1-", "2020-001-01"}) {
        EXPECT_EQ(testing::runErrorMessage([&] { parseDate(bad); }), "'" + std::string(bad) + "' is not a valid date");
    }
}

} // namespace
} // namespace qv
