#include "text/keyword_list.h"

#include "text/bytes.h"

namespace qv::text {
namespace {

// Blanks that separate keywords. NUL never reaches here: the text is cut at
// its first NUL before parsing.
bool isSeparatorBlank(char byte)
{
    return isBlank(static_cast<unsigned char>(byte));
}

std::size_t skipBlanks(std::string_view text, std::size_t at)
{
    while (at < text.size() && isSeparatorBlank(text[at])) ++at;
    return at;
}

// Reads the quoted keyword whose opening quote is at `at`; returns the index
// just after the closing quote, or the end of the text when it never closes.
std::size_t readQuoted(std::string_view text, std::size_t at, char quote, std::string& keyword)
{
    ++at;
    while (at < text.size()) {
        if (text[at] == quote) {
            if (at + 1 < text.size() && text[at + 1] == quote) {
                keyword.push_back(quote);
                at += 2;
                continue;
            }
            return at + 1;
        }
        // A trail byte may equal "^", so characters are taken whole.
        const std::size_t length = charLength(text, at);
        keyword.append(text.substr(at, length));
        at += length;
    }
    return at;
}

std::size_t readPlain(std::string_view text, std::size_t at, char delimiter, std::string& keyword)
{
    const std::size_t begin = at;
    while (at < text.size() && text[at] != delimiter && !isSeparatorBlank(text[at])) at += charLength(text, at);
    keyword.assign(text.substr(begin, at - begin));
    return at;
}

} // namespace

std::vector<std::string> parseKeywordList(std::string_view text)
{
    return splitDelimitedText(text, ';', '^');
}

std::vector<std::string> splitDelimitedText(std::string_view text, char delimiter, char quote)
{
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);

    std::vector<std::string> keywords;
    std::size_t at = skipBlanks(text, 0);
    while (at < text.size()) {
        std::string keyword;
        at = text[at] == quote ? readQuoted(text, at, quote, keyword) : readPlain(text, at, delimiter, keyword);
        keywords.push_back(std::move(keyword));
        at = skipBlanks(text, at);
        if (at < text.size() && text[at] == delimiter) {
            if (at + 1 == text.size()) keywords.emplace_back();
            at = skipBlanks(text, at + 1);
        }
    }
    return keywords;
}

} // namespace qv::text
