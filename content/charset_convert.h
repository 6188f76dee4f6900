#pragma once
// Charset conversion: re-encodes every marked file between the program's
// code page (936, GBK) and UTF-8, writing the result to the output file
// beside the source, through CodePage.

#include "content/content_job.h"
#include "operation/host.h"
#include "operation/workspace.h"
#include "platform/code_page.h"
#include "text/line_list.h"

#include <optional>
#include <string>
#include <string_view>

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

// "新文件格式为空,请输入后再试!" (focus edtCharset) for an empty call.
std::optional<Refusal> charsetRefusal(const CharsetParams& params);

// The content job of the ToUtf8 or ToAnsi conversion.
ContentJob charsetJob(CharsetCall call);

// The charset run: selection check; "新文件格式为空,请输入后再试!" (focus
// edtCharset) for an empty call; a call naming neither conversion ends the
// run silently (status Refused, no refusal, nothing touched). Otherwise the
// content job converts every marked file. A source that is not valid UTF-8
// under "toansi" gets no output and is not counted; after the closing
// message a second one, "以下文件不是有效的UTF-8编码,未转换:" followed by the
// paths one a line, names those files.
// Files are streamed: memory does not grow with their size.
OperationResult btnCharsetClick(const CharsetParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
