#include "text/keyword_list.h"

#include "support/case_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::text {
namespace {

using namespace std::string_literals;
using Keywords = std::vector<std::string>;

using Case = testing::NamedCase<std::string, Keywords>;

TEST(KeywordList, DelimitersAndBlanks)
{
    const Case cases[] = {
        {"empty text", "", {}},
        {"blanks only", " \t ", {}},
        {"one keyword", "abc", {"abc"}},
        {"blank separates", "aa bb;cc", {"aa", "bb", "cc"}},
        {"empty between delimiters", "aa;;cc", {"aa", "", "cc"}},
        {"final delimiter", "aa;", {"aa", ""}},
        {"final delimiter then blank", "aa; ", {"aa"}},
        {"leading delimiter", ";aa", {"", "aa"}},
        {"delimiter alone", ";", {"", ""}},
        {"blanks around delimiters", "  aa  ;  bb  ", {"aa", "bb"}},
        {"control bytes are blanks",
         "a\tb\x01"
         "c\r\nd",
         {"a", "b", "c", "d"}},
        {"no trimming inside", "a-b;c.d", {"a-b", "c.d"}},
        {"caret inside a keyword is literal", "a^b;c", {"a^b", "c"}},
    };
    testing::expectEachCase(cases, parseKeywordList);
}

TEST(KeywordList, Quotes)
{
    const Case cases[] = {
        {"quoted blank and delimiter", "^a b^;cc", {"a b", "cc"}},
        {"quoted delimiter", "^x;y^", {"x;y"}},
        {"doubled quote", "^a^^b^", {"a^b"}},
        {"only a doubled quote", "^^^^", {"^"}},
        {"empty quotes", "^^;x", {"", "x"}},
        {"text right after closing quote", "^ab^cd", {"ab", "cd"}},
        {"blank after closing quote", "^ab^ ;cd", {"ab", "cd"}},
        {"never closed runs to the end", "^a b;c", {"a b;c"}},
        {"never closed with doubled quote", "^a^^", {"a^"}},
        {"lone caret", "^", {""}},
        {"quote after blank", "x ^y z^", {"x", "y z"}},
    };
    testing::expectEachCase(cases, parseKeywordList);
}

TEST(KeywordList, DoubleByteCharactersAreSteppedOverWhole)
{
    // 0x81 0x5E is a character whose second byte is "^".
    const Case cases[] = {
        {"plain Chinese", "\xD6\xD0;\xCE\xC4", {"\xD6\xD0", "\xCE\xC4"}},
        {"second byte caret inside quotes", "^\x81\x5E;x^", {"\x81\x5E;x"}},
        {"second byte caret after quoted text", "^a\x81\x5E^b", {"a\x81\x5E", "b"}},
        {"lead byte at the end", "ab\x81", {"ab\x81"}},
        {"lead byte at the end of quotes", "^ab\x81", {"ab\x81"}},
    };
    testing::expectEachCase(cases, parseKeywordList);
}

TEST(KeywordList, TextEndsAtNul)
{
    const Case cases[] = {
        {"NUL ends the text", "aa;bb\0cc;dd"s, {"aa", "bb"}},
        {"NUL after a delimiter", "aa;\0bb"s, {"aa", ""}},
        {"NUL inside quotes", "^a\0b^"s, {"a"}},
        {"NUL first", "\0aa"s, {}},
    };
    testing::expectEachCase(cases, parseKeywordList);
}

} // namespace
} // namespace qv::text
