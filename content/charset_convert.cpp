#include "content/charset_convert.h"

#include "platform/code_page.h"
#include "text/bytes.h"

namespace qv {
namespace {

std::string programMessage(const char* utf8)
{
    return programText(utf8);
}

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

std::optional<Refusal> charsetRefusal(const CharsetParams& params)
{
    if (params.edtCharset.empty()) return Refusal{programMessage("新文件格式为空,请输入后再试!"), "edtCharset"};
    return std::nullopt;
}

ContentJob charsetJob(CharsetCall call)
{
    // Each line and its CR LF are converted as they stream by: a line ends
    // on a character boundary in either encoding, so the pieces convert
    // exactly as the whole text would. The lines come out as they went in,
    // since neither conversion makes a break or NUL of anything else.
    ContentJob job;
    job.perLine = [call](const ContentFile&) -> LineTransform {
        if (call == CharsetCall::ToUtf8)
            return [](std::string_view line, std::string& out) {
                appendCodePageAsUtf8(line, out);
                out.append("\r\n");
            };
        return [](std::string_view line, std::string& out) {
            if (!appendUtf8AsCodePage(line, out)) throw SkipFile{programMessage("不是有效的UTF-8编码")};
            out.append("\r\n");
        };
    };
    return job;
}

OperationResult btnCharsetClick(const CharsetParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    OperationResult outcome;
    if (!selectionCheck(ws, host)) return outcome;
    if (auto refusal = charsetRefusal(params)) return refuse(host, std::move(*refusal));
    const CharsetCall call = charsetCallOf(params.edtCharset);
    if (call == CharsetCall::Other) {
        // Neither call: the run ends without a word, nothing touched.
        outcome.status = OperationResult::Status::Refused;
        return outcome;
    }
    return runContentJob(ws, host, fs, charsetJob(call));
}

} // namespace qv
