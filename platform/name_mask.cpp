#include "platform/name_mask.h"

#include "platform/code_page.h"

#include <unicode/uchar.h>

namespace qv {
namespace {

// Code points of UTF-16 text; an unpaired surrogate stands for itself.
std::u32string codePoints(std::u16string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            out.push_back(unit);
        }
    }
    return out;
}

char32_t fold(char32_t c) { return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c))); }

} // namespace

NameMask::NameMask(std::string_view mask) : empty_(mask.empty())
{
    const std::u32string chars = codePoints(CodePage::gbk().toUtf16(mask));
    tokens_.reserve(chars.size());
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        const char32_t next = i + 1 < chars.size() ? chars[i + 1] : 0;
        const bool atEnd = i + 1 == chars.size();
        if (c == U'*') {
            tokens_.push_back({next == U'.' ? Kind::DosStar : Kind::Star, 0});
        } else if (c == U'?') {
            tokens_.push_back({Kind::DosQuestion, 0});
        } else if (c == U'.' && (atEnd || next == U'*' || next == U'?')) {
            tokens_.push_back({Kind::DosDot, 0});
        } else {
            tokens_.push_back({Kind::Literal, fold(c)});
        }
    }
}

bool NameMask::matches(std::string_view name) const
{
    if (empty_) return false;
    return matches(CodePage::gbk().toUtf16(name));
}

// A left-to-right simulation of the mask as a nondeterministic automaton: the
// state set holds every mask position reachable after the name characters
// read so far. Zero-width moves only go forward, so one forward pass per
// character closes the set.
bool NameMask::matches(std::u16string_view name16) const
{
    if (empty_ || name16.empty()) return false; // no file has an empty name
    const std::u32string name = codePoints(name16);
    const std::size_t count = tokens_.size();
    const std::size_t lastDot = name.rfind(U'.');

    auto close = [&](std::vector<char>& set, std::size_t at) {
        const bool atEnd = at == name.size();
        for (std::size_t p = 0; p < count; ++p) {
            if (!set[p]) continue;
            bool skip = false;
            switch (tokens_[p].kind) {
            case Kind::Star:
            case Kind::DosStar: skip = true; break;
            case Kind::DosQuestion: skip = atEnd || name[at] == U'.'; break;
            case Kind::DosDot: skip = atEnd; break;
            case Kind::Literal: break;
            }
            if (skip) set[p + 1] = 1;
        }
    };

    std::vector<char> current(count + 1, 0), next(count + 1, 0);
    current[0] = 1;
    close(current, 0);
    for (std::size_t at = 0; at < name.size(); ++at) {
        std::fill(next.begin(), next.end(), 0);
        const char32_t c = name[at];
        bool any = false;
        for (std::size_t p = 0; p < count; ++p) {
            if (!current[p]) continue;
            const Token& token = tokens_[p];
            switch (token.kind) {
            case Kind::Literal:
                if (fold(c) == token.ch) next[p + 1] = any = true;
                break;
            case Kind::Star: next[p] = any = true; break;
            case Kind::DosStar:
                if (at != lastDot) next[p] = any = true;
                break;
            case Kind::DosQuestion:
                if (c != U'.') next[p + 1] = any = true;
                break;
            case Kind::DosDot:
                if (c == U'.') next[p + 1] = any = true;
                break;
            }
        }
        if (!any) return false;
        close(next, at + 1);
        current.swap(next);
    }
    return current[count] != 0;
}

bool matchesMask(std::string_view name, std::string_view mask) { return NameMask(mask).matches(name); }

} // namespace qv
