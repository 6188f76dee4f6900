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

void appendCodePageAsUtf8(std::string_view piece, std::string& out)
{
    CodePage::gbk().appendUtf8(piece, out);
}

bool appendUtf8AsCodePage(std::string_view piece, std::string& out)
{
    return CodePage::gbk().appendFromUtf8(piece, out, CodePage::IllFormed::Reject);
}

std::string ansiToUtf8(const text::LineList& lines)
{
    std::string out;
    out.reserve(utf8SizeEstimate(lines));
    forEachPiece(lines, codePageCut, [&](std::string_view piece) {
        appendCodePageAsUtf8(piece, out);
        return true;
    });
    return out;
}

std::optional<std::string> utf8ToAnsi(const text::LineList& lines)
{
    std::string out;
    // Every UTF-8 sequence becomes at most as many code page bytes.
    out.reserve(lines.joinedSize());
    const bool valid = forEachPiece(lines, utf8Cut, [&](std::string_view piece) {
        return appendUtf8AsCodePage(piece, out);
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
