#include "filelist/entry_time.h"
#include "filelist/size_bound.h"
#include "support/run_error_message.h"
#include "text/run_error.h"

#include <gtest/gtest.h>

#include <limits>

namespace qv {
namespace {

TEST(EntryTimeText, FormatsLocalSeconds)
{
    EXPECT_EQ(entryTimeText(0), "1970-01-01 00:00:00");
    EXPECT_EQ(entryTimeText(1709651229), "2024-03-05 15:07:09");
    EXPECT_EQ(entryTimeText(951782400), "2000-02-29 00:00:00");
    EXPECT_EQ(entryTimeText(-1), "1969-12-31 23:59:59");
}

TEST(EntryTimeText, ClampsToTheRangeOfFourDigitYearsAfter1600)
{
    EXPECT_EQ(entryTimeText(-11644473601), "1601-01-01 00:00:00");
    EXPECT_EQ(entryTimeText(std::numeric_limits<std::int64_t>::min()), "1601-01-01 00:00:00");
    EXPECT_EQ(entryTimeText(253402300800), "9999-12-31 23:59:59");
    EXPECT_EQ(entryTimeText(std::numeric_limits<std::int64_t>::max()), "9999-12-31 23:59:59");
}

TEST(EntryTime, LocalSecondsAddTheOffsetAndSaturate)
{
    EXPECT_EQ(toLocalSeconds(1709308740, 8 * 3600), 1709337540);
    EXPECT_EQ(toLocalSeconds(std::numeric_limits<std::int64_t>::max(), 3600), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(toLocalSeconds(std::numeric_limits<std::int64_t>::min(), -3600),
              std::numeric_limits<std::int64_t>::min());
}

TEST(EntryTime, CalendarDateIsTheWholeDay)
{
    EXPECT_EQ(calendarDate(1709337540), (CalendarDate{2024, 3, 1})); // 23:59:00
    EXPECT_EQ(calendarDate(1709337600), (CalendarDate{2024, 3, 2})); // 00:00:00
    EXPECT_LT((CalendarDate{2024, 2, 29}), (CalendarDate{2024, 3, 1}));
}

TEST(SizeBound, ReadsDecimalNumbersTruncatedTowardZero)
{
    EXPECT_EQ(parseSizeBound("0"), 0);
    EXPECT_EQ(parseSizeBound(" 50000 "), 50000);
    EXPECT_EQ(parseSizeBound("+12"), 12);
    EXPECT_EQ(parseSizeBound("12.9"), 12);
    EXPECT_EQ(parseSizeBound("-12.9"), -12);
    EXPECT_EQ(parseSizeBound(".5"), 0);
    EXPECT_EQ(parseSizeBound("7."), 7);
    EXPECT_EQ(parseSizeBound("1.5e3"), 1500);
    EXPECT_EQ(parseSizeBound("1E-3"), 0);
}

TEST(SizeBound, HoldsEverySixtyFourBitSizeExactly)
{
    EXPECT_EQ(parseSizeBound("3000000000"), 3000000000LL);
    EXPECT_EQ(parseSizeBound("9007199254740993"), 9007199254740993LL);
    EXPECT_EQ(parseSizeBound("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(parseSizeBound("99999999999999999999999"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(parseSizeBound("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(parseSizeBound("1e400"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(parseSizeBound("-1e30"), std::numeric_limits<std::int64_t>::min());
}

TEST(SizeBound, RefusesWhatIsNotANumber)
{
    for (const char* bad : {"", "  ", "abc", "12k", "1,000", "-", ".", "1e", "1e+", "0x10", "1 2", "nan", "inf"}) {
        EXPECT_EQ(testing::runErrorMessage([&] { parseSizeBound(bad); }),
                  "'" + std::string(bad) + "' is not a valid floating point value");
    }
}

} // namespace
} // namespace qv
