#include "template/chinese.h"

#include "platform/chinese_script.h"
#include "platform/code_page.h"
#include "text/bytes.h"

#include <string_view>

namespace qv {
namespace {

struct NumeralStep {
    std::string_view character; // code page 936 bytes
    std::string_view digit;
};

// Applied one after another in this order. The unit characters come first
// and are removed, so a numeral is transliterated digit by digit: 一百零五
// gives 105, not a computed value.
constexpr NumeralStep numeralSteps[] = {
    {"\xCA\xAE", ""},  // 十
    {"\xB0\xD9", ""},  // 百
    {"\xC7\xA7", ""},  // 千
    {"\xCD\xF2", ""},  // 万
    {"\xD2\xDA", ""},  // 亿
    {"\xD5\xD7", ""},  // 兆
    {"\xCA\xB0", ""},  // 拾
    {"\xD2\xBB", "1"}, // 一
    {"\xB6\xFE", "2"}, // 二
    {"\xC8\xFD", "3"}, // 三
    {"\xCB\xC4", "4"}, // 四
    {"\xCE\xE5", "5"}, // 五
    {"\xC1\xF9", "6"}, // 六
    {"\xC6\xDF", "7"}, // 七
    {"\xB0\xCB", "8"}, // 八
    {"\xBE\xC5", "9"}, // 九
    {"\xC1\xE3", "0"}, // 零
    {"\xD2\xBC", "1"}, // 壹
    {"\xB7\xA1", "2"}, // 贰
    {"\xC8\xFE", "3"}, // 叁
    {"\xCB\xC1", "4"}, // 肆
    {"\xCE\xE9", "5"}, // 伍
    {"\xC2\xBD", "6"}, // 陆
    {"\xC6\xE2", "7"}, // 柒
    {"\xB0\xC6", "8"}, // 捌
    {"\xBE\xC1", "9"}, // 玖
};

// The conversions read their input as a NUL-terminated string would be read.
std::string_view upToFirstNul(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

} // namespace

std::string ConvertChineseNumerals(std::string_view gbk)
{
    std::string out(gbk);
    for (const NumeralStep& step : numeralSteps) out = text::replaceAll(out, step.character, step.digit);
    return out;
}

std::string ToTraditionalBig5(std::string_view gbk)
{
    const std::string_view input = upToFirstNul(gbk);
    if (input.empty()) return {};
    return CodePage::big5().fromUtf8(simplifiedToTraditional(CodePage::gbk().toUtf8(input)));
}

std::string ToSimplifiedGbk(std::string_view big5)
{
    const std::string_view input = upToFirstNul(big5);
    if (input.empty()) return {};
    return CodePage::gbk().fromUtf8(traditionalToSimplified(CodePage::big5().toUtf8(input)));
}

} // namespace qv
