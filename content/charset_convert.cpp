#include "content/charset_convert.h"

#include "platform/code_page.h"
#include "text/bytes.h"

namespace qv {
namespace {

constexpr std::size_t pieceSize = std::size_t{1} << 16;

// Calls `convert(piece)` on consecutive pieces of the written form of `lines`
// (every line followed by CR LF), each about pieceSize bytes. Lines are
// gathered whole; a line longer than pieceSize is cut where `cut(line,
// pieceSize)` says, a position in 1..pieceSize that starts a character.
// Stops and returns false as soon as `convert` does.
template <typename Cut, typename Convert>
bool forEachPiece(const text::LineList& lines, Cut cut, Convert convert)
{
    std::string staged;
    staged.reserve(pieceSize + 2);
    const auto flush = [&] {
        const bool ok = staged.empty() || convert(std::string_view(staged));
        staged.clear();
        return ok;
    };
    for (std::string_view line : lines) {
        if (staged.size() + line.size() + 2 > pieceSize && !flush()) return false;
        while (line.size() > pieceSize) {
            const std::size_t length = cut(line, pieceSize);
            if (!convert(line.substr(0, length))) return false;
            line.remove_prefix(length);
        }
        staged.append(line).append("\r\n");
    }
    return flush();
}

// The longest prefix of at most `limit` bytes that ends on a code page
// character boundary; `line` is longer than `limit`, and limit >= 2.
std::size_t codePageCut(std::string_view line, std::size_t limit)
{
    std::size_t at = 0;
    while (at + text::charLength(line, at) <= limit) at += text::charLength(line, at);
    return at;
}

constexpr bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// `limit` moved back to the start of the UTF-8 sequence it falls in; `line`
// is longer than `limit`. Runs of more than three continuation bytes are
// invalid anyway and are cut anywhere.
std::size_t utf8Cut(std::string_view line, std::size_t limit)
{
    std::size_t at = limit;
    while (at > limit - 3 && isContinuation(static_cast<unsigned char>(line[at]))) --at;
    return isContinuation(static_cast<unsigned char>(line[at])) ? limit : at;
}

// Room for the UTF-8 form of the lines' written form: exact for text the code
// page maps (ASCII 1 byte, a double-byte character 3), generous for the
// bytes it does not map. A wrong guess only costs a reallocation.
std::size_t utf8SizeEstimate(const text::LineList& lines)
{
    std::size_t size = lines.joinedSize();
    for (const std::string_view line : lines) {
        for (std::size_t i = 0; i < line.size(); i += text::charLength(line, i)) {
            if (static_cast<unsigned char>(line[i]) < 0x80) continue;
            size += text::charLength(line, i) == 2 ? 1 : 2;
        }
    }
    return size;
}

std::string programMessage(const char* utf8) { return programText(utf8); }

} // namespace

CharsetCall charsetCallOf(std::string_view call)
{
    if (call.find("${") == std::string_view::npos) return CharsetCall::Other;
    const std::string_view rest = text::part(call, 3, static_cast<text::Pos>(call.size()) - 3);
    const std::size_t paren = rest.find('(');
    if (paren == std::string_view::npos) return CharsetCall::Other;
    const std::string name = text::lower(rest.substr(0, paren));
    if (name == "toutf8") return CharsetCall::ToUtf8;
    if (name == "toansi") return CharsetCall::ToAnsi;
    return CharsetCall::Other;
}

void appendUtf8(std::u16string_view units, std::string& out)
{
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        }
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool decodeUtf8(std::string_view bytes, std::u16string& out)
{
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = at + bytes.size();
    while (at < end) {
        const unsigned char lead = *at;
        if (lead < 0x80) {
            out.push_back(lead);
            ++at;
            continue;
        }
        // The number of continuation bytes, the lead's value bits, and the
        // range the first continuation byte must lie in (narrower after
        // E0, ED, F0 and F4, which rules out overlong forms, surrogates and
        // values beyond U+10FFFF).
        std::size_t extra = 0;
        char32_t value = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            value = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            value = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - at) <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const unsigned char next = at[k];
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
            value = (value << 6) | (next & 0x3F);
        }
        at += extra + 1;
        if (value >= 0x10000) {
            value -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(value));
        }
    }
    return true;
}

std::string ansiToUtf8(const text::LineList& lines)
{
    const CodePage& codePage = CodePage::gbk();
    std::string out;
    out.reserve(utf8SizeEstimate(lines));
    forEachPiece(lines, codePageCut, [&](std::string_view piece) {
        appendUtf8(codePage.toUtf16(piece), out);
        return true;
    });
    return out;
}

std::optional<std::string> utf8ToAnsi(const text::LineList& lines)
{
    const CodePage& codePage = CodePage::gbk();
    std::string out;
    // Every UTF-8 sequence becomes at most as many code page bytes.
    out.reserve(lines.joinedSize());
    std::u16string units;
    const bool valid = forEachPiece(lines, utf8Cut, [&](std::string_view piece) {
        units.clear();
        if (!decodeUtf8(piece, units)) return false;
        out += codePage.fromUtf16(units);
        return true;
    });
    if (!valid) return std::nullopt;
    return out;
}

OperationResult btnCharsetClick(const CharsetParams& params, Workspace& ws, Host& host)
{
    OperationResult outcome;
    if (!selectionCheck(ws, host)) return outcome;
    if (params.edtCharset.empty()) return refuse(host, {programMessage("新文件格式为空,请输入后再试!"), "edtCharset"});
    const CharsetCall call = charsetCallOf(params.edtCharset);
    if (call == CharsetCall::Other) {
        // Neither call: the run ends without a word, nothing touched.
        outcome.status = OperationResult::Status::Refused;
        return outcome;
    }

    ContentJob job;
    job.transform = [call](const text::LineList& source, const ContentFile&, text::LineList& output, Host&) {
        if (call == CharsetCall::ToUtf8) {
            output = text::LineList::fromBytes(ansiToUtf8(source));
            return FileVerdict::written();
        }
        std::optional<std::string> converted = utf8ToAnsi(source);
        if (!converted) return FileVerdict::skipped(programMessage("不是有效的UTF-8编码"));
        // Valid UTF-8 yields no break or NUL that was not a break of the
        // source, so the lines come out as they went in.
        output = text::LineList::fromBytes(std::move(*converted));
        return FileVerdict::written();
    };
    return runContentJob(ws, host, job);
}

} // namespace qv
