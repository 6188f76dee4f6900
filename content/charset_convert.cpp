#include "content/charset_convert.h"

#include "platform/code_page.h"
#include "text/bytes.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace qv {
namespace {

std::string programMessage(const char* utf8)
{
    return programText(utf8);
}

// True when the whole file at `path` is well-formed UTF-8 holding at least
// one non-ASCII character. Reads until the first byte that rules it out, so
// a code page 936 text is usually decided in its first block.
bool isUtf8Text(const FileSystem& fs, std::string_view path)
{
    const std::unique_ptr<FileReader> reader = fs.openForReading(path);
    const auto block = std::make_unique<char[]>(streamBlockSize);
    Utf8Check check;
    while (check.wellFormedSoFar()) {
        const std::size_t got = reader->read(block.get(), streamBlockSize);
        if (got == 0) break;
        check.feed(std::string_view(block.get(), got));
    }
    return check.wellFormed() && check.sawNonAscii();
}

// "?" (0x3F) is never part of a longer character in UTF-8 or code page 936,
// so the "?" a conversion added are those of `out` beyond those of `in`.
std::int64_t questionMarks(std::string_view text)
{
    return std::count(text.begin(), text.end(), '?');
}

// The note after the closing message of a ${ToAnsi()} run that replaced
// characters: "有 N 个文件含有无法以GBK编码表示的字符，已替换为“?”。", the
// files with their counts as details.
void reportReplacedCharacters(Host& host, const std::vector<ReplacedCharacters>& files)
{
    std::string details;
    std::size_t count = 0;
    for (const ReplacedCharacters& file : files) {
        if (!file.counted || file.count == 0) continue;
        ++count;
        if (!details.empty()) details += "\r\n";
        details += file.path + programMessage("：") + std::to_string(file.count) + programMessage(" 个字符已替换为“?”");
    }
    if (count == 0) return;
    host.showMessageWithDetails(MessageKind::Information,
                                programMessage("有 ") + std::to_string(count) +
                                    programMessage(" 个文件含有无法以GBK编码表示的字符，已替换为“?”。"),
                                details);
}

} // namespace

void Utf8Check::feed(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size() && ok_; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (need_ > 0) {
            ok_ = b >= low_ && b <= high_;
            low_ = 0x80;
            high_ = 0xBF;
            --need_;
            continue;
        }
        if (b < 0x80) continue;
        nonAscii_ = true;
        // The well-formed sequences: no overlong forms, no surrogates,
        // nothing above U+10FFFF.
        if (b >= 0xC2 && b <= 0xDF) {
            need_ = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need_ = 2;
            if (b == 0xE0) low_ = 0xA0;
            if (b == 0xED) high_ = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need_ = 3;
            if (b == 0xF0) low_ = 0x90;
            if (b == 0xF4) high_ = 0x8F;
        } else {
            ok_ = false;
        }
    }
}

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

ContentJob charsetJob(CharsetCall call, const FileSystem& fs, const std::shared_ptr<ReplacedCharacterCounts>& replaced)
{
    // Each line and its CR LF are converted as they stream by: a line ends
    // on a character boundary in either encoding, so the pieces convert
    // exactly as the whole text would. The lines come out as they went in,
    // since neither conversion makes a break or NUL of anything else.
    ContentJob job;
    if (call == CharsetCall::ToUtf8) {
        // A file that is already UTF-8 would be encoded a second time: it is
        // decided on the whole file before a byte is written, so a file that
        // turns out not to be UTF-8 late is still converted whole.
        job.perLine = [&fs](const ContentFile& file) -> LineTransform {
            if (isUtf8Text(fs, file.fullPath))
                return
                    [](std::string_view, std::string&) { throw SkipFile{programMessage("已是 UTF-8 编码，未转换")}; };
            return [](std::string_view line, std::string& out) {
                appendCodePageAsUtf8(line, out);
                out.append("\r\n");
            };
        };
        return job;
    }

    job.perLine = [replaced](const ContentFile& file) -> LineTransform {
        replaced->push_back({file.fullPath});
        const std::size_t index = replaced->size() - 1;
        return [replaced, index](std::string_view line, std::string& out) {
            const std::size_t before = out.size();
            if (!appendUtf8AsCodePage(line, out)) {
                (*replaced)[index].counted = false;
                throw SkipFile{programMessage("不是有效的UTF-8编码")};
            }
            (*replaced)[index].count += questionMarks(std::string_view(out).substr(before)) - questionMarks(line);
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
    const auto replaced = std::make_shared<ReplacedCharacterCounts>();
    outcome = runContentJob(ws, host, fs, charsetJob(call, fs, replaced));
    // A file stopped part way got no output.
    if (outcome.status == OperationResult::Status::Stopped && !replaced->empty() &&
        static_cast<std::int64_t>(replaced->size()) >
            outcome.processed + static_cast<std::int64_t>(outcome.skipped.size()))
        replaced->back().counted = false;
    reportReplacedCharacters(host, *replaced);
    return outcome;
}

} // namespace qv
