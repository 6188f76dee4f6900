#pragma once
// Charset conversion: re-encodes every marked file between the program's
// code page (936, GBK) and UTF-8, writing the result to the output file
// beside the source, through CodePage.

#include "content/content_job.h"
#include "operation/host.h"
#include "operation/workspace.h"
#include "platform/code_page.h"
#include "text/line_list.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// What the page holds: the call typed into edtCharset, code page 936.
struct CharsetParams {
    std::string edtCharset;
};

enum class CharsetCall { Other, ToUtf8, ToAnsi };

// The conversion a call names: when the call contains "${", its first two
// bytes and its last byte are dropped and the bytes before the first "(" of
// the rest, lower-cased, are the name ("toutf8" or "toansi"). Whatever stands
// between the parentheses is ignored. Anything else names no conversion.
CharsetCall charsetCallOf(std::string_view call);

// The streaming form of the two conversions: each appends one piece of a
// text to `out`. A text converted piece by piece gives exactly what it gives
// converted whole, provided no piece ends inside a character: a code page
// piece must end where text::charLength puts a character boundary or before
// a byte below 0x40 (so a line and its CR LF may be separate pieces); a
// UTF-8 piece must not end inside a sequence (move a cut back over at most
// three continuation bytes 0x80-0xBF).
//
// Code page 936 to UTF-8. Byte sequences GBK lacks become U+FFFD.
void appendCodePageAsUtf8(std::string_view piece, std::string& out);
// UTF-8 to code page 936; characters GBK lacks become "?". False when the
// piece is not valid UTF-8 (see decodeUtf8); `out` then holds part of it.
bool appendUtf8AsCodePage(std::string_view piece, std::string& out);

// Whether a text is well-formed UTF-8 (no overlong forms, no encoded
// surrogates, nothing above U+10FFFF), fed piece by piece: the pieces may
// be cut anywhere, inside a sequence too.
class Utf8Check {
public:
    void feed(std::string_view bytes);
    // Nothing seen so far rules it out (a sequence may still be open).
    bool wellFormedSoFar() const { return ok_; }
    // The text fed so far is well-formed and ends on a character boundary.
    bool wellFormed() const { return ok_ && need_ == 0; }
    bool sawNonAscii() const { return nonAscii_; }

private:
    int need_ = 0;                           // continuation bytes still to come
    unsigned char low_ = 0x80, high_ = 0xBF; // the range of the next one
    bool ok_ = true;
    bool nonAscii_ = false;
};

// "新文件格式为空,请输入后再试!" (focus edtCharset) for an empty call.
std::optional<Refusal> charsetRefusal(const CharsetParams& params);

// A file converted to code page 936 and how many of its characters became
// "?"; `counted` is cleared when the file turns out not to be converted.
struct ReplacedCharacters {
    std::string path;
    std::int64_t count = 0;
    bool counted = true;
};
using ReplacedCharacterCounts = std::vector<ReplacedCharacters>;

// The content job of the ToUtf8 or ToAnsi conversion. ToUtf8 first reads
// each file through `fs` to leave a file that is UTF-8 already alone; ToAnsi
// appends to `replaced` how many characters of each file became "?". Both
// live as long as the job.
ContentJob charsetJob(CharsetCall call, const FileSystem& fs, const std::shared_ptr<ReplacedCharacterCounts>& replaced);

// The charset run: selection check; "新文件格式为空,请输入后再试!" (focus
// edtCharset) for an empty call; a call naming neither conversion ends the
// run silently (status Refused, no refusal, nothing touched). Otherwise the
// content job converts every marked file.
// - "toutf8": a source that is well-formed UTF-8 as a whole and holds a
//   non-ASCII character gets no output, is not counted and is listed as left
//   alone, "已是 UTF-8 编码，未转换" (converting it would encode it twice).
// - "toansi": a source that is not valid UTF-8 gets no output, is not
//   counted and is listed as left alone, "不是有效的UTF-8编码". Characters
//   GBK lacks become "?"; after the closing message, the information
//   "有 N 个文件含有无法以GBK编码表示的字符，已替换为“?”。" lists those files,
//   each with "M 个字符已替换为“?”".
// Files are streamed: memory does not grow with their size ("toutf8" reads
// a file once more beforehand, up to its first byte that is not UTF-8).
OperationResult btnCharsetClick(const CharsetParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
