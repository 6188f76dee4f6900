#pragma once
// Chinese numeral and script conversions reached through the template
// functions Chs2Num, gb2big and big2gb. Plain functions of one byte string.

#include <string>
#include <string_view>

namespace qv {

// Chinese numeral characters transliterated digit by digit into ASCII digits
// (unit characters such as 十 and 百 are dropped): 一百零五 gives 105.
// Input and output are code page 936.
std::string ConvertChineseNumerals(std::string_view gbk);

// Simplified Chinese text in code page 936 mapped to Traditional characters
// and encoded in code page 950 (Big5). Characters Big5 lacks become "?".
std::string ToTraditionalBig5(std::string_view gbk);

// Big5 text mapped to Simplified characters in code page 936.
std::string ToSimplifiedGbk(std::string_view big5);

} // namespace qv
