#include "template/date_format.h"

#include "text/bytes.h"

#include <algorithm>
#include <array>

namespace qv {
namespace {

// The PRC conventions, as code page 936 bytes. Characters used:
// 月 D4C2, 一..九 D2BB B6FE C8FD CBC4 CEE5 C1F9 C6DF B0CB BEC5, 十 CAAE,
// 周 D6DC, 星期 D0C7 C6DA, 日 C8D5, 年 C4EA, 上午 C9CF CEE7, 下午 CFC2 CEE7.
#define QV_YUE "\xD4\xC2"
constexpr std::array<std::string_view, 12> kShortMonthNames = {
    "1" QV_YUE, "2" QV_YUE, "3" QV_YUE, "4" QV_YUE,  "5" QV_YUE,  "6" QV_YUE,
    "7" QV_YUE, "8" QV_YUE, "9" QV_YUE, "10" QV_YUE, "11" QV_YUE, "12" QV_YUE,
};
constexpr std::array<std::string_view, 12> kLongMonthNames = {
    "\xD2\xBB" QV_YUE, "\xB6\xFE" QV_YUE, "\xC8\xFD" QV_YUE,         "\xCB\xC4" QV_YUE,
    "\xCE\xE5" QV_YUE, "\xC1\xF9" QV_YUE, "\xC6\xDF" QV_YUE,         "\xB0\xCB" QV_YUE,
    "\xBE\xC5" QV_YUE, "\xCA\xAE" QV_YUE, "\xCA\xAE\xD2\xBB" QV_YUE, "\xCA\xAE\xB6\xFE" QV_YUE,
};
#undef QV_YUE
constexpr std::array<std::string_view, 7> kShortDayNames = {
    "\xD6\xDC\xC8\xD5", "\xD6\xDC\xD2\xBB", "\xD6\xDC\xB6\xFE", "\xD6\xDC\xC8\xFD",
    "\xD6\xDC\xCB\xC4", "\xD6\xDC\xCE\xE5", "\xD6\xDC\xC1\xF9",
};
constexpr std::array<std::string_view, 7> kLongDayNames = {
    "\xD0\xC7\xC6\xDA\xC8\xD5", "\xD0\xC7\xC6\xDA\xD2\xBB", "\xD0\xC7\xC6\xDA\xB6\xFE", "\xD0\xC7\xC6\xDA\xC8\xFD",
    "\xD0\xC7\xC6\xDA\xCB\xC4", "\xD0\xC7\xC6\xDA\xCE\xE5", "\xD0\xC7\xC6\xDA\xC1\xF9",
};
constexpr std::string_view kShortDateFormat = "yyyy/M/d";
constexpr std::string_view kLongDateFormat = "yyyy'\xC4\xEA'M'\xD4\xC2'd'\xC8\xD5'";
constexpr std::string_view kShortTimeFormat = "H:mm";
constexpr std::string_view kLongTimeFormat = "H:mm:ss";
constexpr char kDateSeparator = '/';
constexpr char kTimeSeparator = ':';
constexpr std::string_view kAmText = "\xC9\xCF\xCE\xE7";
constexpr std::string_view kPmText = "\xCF\xC2\xCE\xE7";

constexpr char upper(char ch)
{
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 32) : ch;
}
constexpr bool isLetter(char ch)
{
    return upper(ch) >= 'A' && upper(ch) <= 'Z';
}

bool startsWithIgnoreCase(std::string_view s, std::size_t at, std::string_view prefix)
{
    if (s.size() - at < prefix.size()) return false;
    for (std::size_t j = 0; j < prefix.size(); ++j)
        if (upper(s[at + j]) != upper(prefix[j])) return false;
    return true;
}

// Length of the 12-hour marker that begins at `at`, 0 when none does.
std::size_t markerLength(std::string_view s, std::size_t at)
{
    if (startsWithIgnoreCase(s, at, "am/pm")) return 5;
    if (startsWithIgnoreCase(s, at, "ampm")) return 4;
    if (startsWithIgnoreCase(s, at, "a/p")) return 3;
    return 0;
}

class Formatter {
public:
    Formatter(const LocalDateTime& moment, std::string& out, std::size_t maxBytes)
        : moment_(moment), out_(out), maxBytes_(maxBytes), weekday_(dayOfWeek(moment.year, moment.month, moment.day))
    { }

    // One pass over `format`; each nested standard format gets a pass of its
    // own, so its hour/minute and 12-hour state stays its own.
    void run(std::string_view format)
    {
        char lastLetter = ' ';
        bool twelveHour = false;
        std::size_t i = 0;
        const std::size_t n = format.size();
        while (i < n && out_.size() <= maxBytes_) {
            if (text::charLength(format, i) == 2) {
                out_.append(format.substr(i, 2));
                i += 2;
                continue;
            }
            const char starter = format[i];
            const std::size_t runStart = i++;
            char token = upper(starter);
            if (isLetter(token)) {
                if (token == 'M' && lastLetter == 'H') token = 'N';
                lastLetter = token;
            }
            auto runLength = [&] {
                while (i < n && upper(format[i]) == upper(starter)) ++i;
                return i - runStart;
            };
            switch (token) {
            case 'Y': {
                const bool twoDigits = runLength() <= 2;
                appendNumber(twoDigits ? moment_.year % 100 : moment_.year, twoDigits ? 2 : 4);
                break;
            }
            case 'M': appendMonth(runLength()); break;
            case 'D': appendDay(runLength()); break;
            case 'H': {
                const std::size_t count = runLength();
                if (!twelveHour) twelveHour = markerFollows(format, i);
                int hour = moment_.hour;
                if (twelveHour) hour = hour == 0 ? 12 : hour > 12 ? hour - 12 : hour;
                appendNumber(hour, count >= 2 ? 2 : 1);
                break;
            }
            case 'N': appendNumber(moment_.minute, runLength() >= 2 ? 2 : 1); break;
            case 'S': appendNumber(moment_.second, runLength() >= 2 ? 2 : 1); break;
            case 'Z': appendNumber(moment_.millisecond, runLength() >= 3 ? 3 : 1); break;
            case 'T': run(runLength() == 1 ? kShortTimeFormat : kLongTimeFormat); break;
            case 'C':
                runLength();
                run(kShortDateFormat);
                out_.push_back(' ');
                run(kLongTimeFormat);
                break;
            case 'A': {
                const std::size_t length = markerLength(format, runStart);
                if (length == 0) {
                    out_.push_back(starter);
                    break;
                }
                appendMarker(format.substr(runStart, length));
                i = runStart + length;
                twelveHour = true;
                break;
            }
            case '/': out_.push_back(kDateSeparator); break;
            case ':': out_.push_back(kTimeSeparator); break;
            case '\'':
            case '"': i = appendQuoted(format, i, starter); break;
            default: out_.push_back(starter); break;
            }
        }
    }

private:
    void appendNumber(int value, int minDigits)
    {
        char digits[16];
        int count = 0;
        unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0) out_.push_back('-');
        for (int pad = count; pad < minDigits; ++pad) out_.push_back('0');
        while (count > 0) out_.push_back(digits[--count]);
    }

    void appendMonth(std::size_t count)
    {
        const int month = moment_.month;
        const bool named = month >= 1 && month <= 12;
        if (count <= 2 || !named)
            appendNumber(month, count >= 2 ? 2 : 1);
        else
            out_.append(count == 3 ? kShortMonthNames[month - 1] : kLongMonthNames[month - 1]);
    }

    void appendDay(std::size_t count)
    {
        if (count <= 2)
            appendNumber(moment_.day, static_cast<int>(count));
        else if (count == 3)
            out_.append(kShortDayNames[weekday_]);
        else if (count == 4)
            out_.append(kLongDayNames[weekday_]);
        else
            run(count == 5 ? kShortDateFormat : kLongDateFormat);
    }

    // "am/pm" and "a/p" echo the written letters; "ampm" gives 上午/下午.
    void appendMarker(std::string_view marker)
    {
        const bool afternoon = moment_.hour >= 12;
        if (marker.size() == 5)
            out_.append(marker.substr(afternoon ? 3 : 0, 2));
        else if (marker.size() == 3)
            out_.push_back(marker[afternoon ? 2 : 0]);
        else
            out_.append(afternoon ? kPmText : kAmText);
    }

    // Does the first "a" or "h" after `from`, outside quotes, begin a 12-hour
    // marker?
    static bool markerFollows(std::string_view format, std::size_t from)
    {
        char quote = 0;
        for (std::size_t j = from; j < format.size(); j += text::charLength(format, j)) {
            const char ch = format[j];
            if (text::charLength(format, j) == 2) continue;
            if (quote != 0) {
                if (ch == quote) quote = 0;
                continue;
            }
            if (ch == '\'' || ch == '"')
                quote = ch;
            else if (upper(ch) == 'H')
                return false;
            else if (upper(ch) == 'A')
                return markerLength(format, j) != 0;
        }
        return false;
    }

    // Copies the text after an opening quote up to the matching quote (or the
    // end); returns the index after the closing quote.
    std::size_t appendQuoted(std::string_view format, std::size_t from, char quote)
    {
        std::size_t j = from;
        while (j < format.size() && format[j] != quote) j += text::charLength(format, j);
        j = std::min(j, format.size());
        out_.append(format.substr(from, j - from));
        return j < format.size() ? j + 1 : j;
    }

    const LocalDateTime& moment_;
    std::string& out_;
    std::size_t maxBytes_;
    int weekday_;
};

} // namespace

int dayOfWeek(int year, int month, int day)
{
    // Sakamoto's method on a March-based year.
    static constexpr int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 1 || month > 12) return 0;
    long long y = year;
    if (month < 3) --y;
    long long sum = y + y / 4 - y / 100 + y / 400 + offsets[month - 1] + day;
    return static_cast<int>(((sum % 7) + 7) % 7);
}

std::string formatDateTime(std::string_view format, const LocalDateTime& moment, std::size_t maxBytes)
{
    std::string out;
    out.reserve(std::min(format.size(), maxBytes) + 8);
    Formatter(moment, out, maxBytes).run(format);
    return out;
}

} // namespace qv
