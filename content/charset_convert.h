#pragma once
// Charset conversion: re-encodes every marked file between the program's
// code page (936, GBK) and UTF-8, writing the result to the output file
// beside the source. The code page side goes through ICU (CodePage); the
// UTF-8 form is encoded and decoded here.

#include "content/content_job.h"
#include "filelist/host.h"
#include "filelist/workspace.h"
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

// Appends the UTF-8 form of `units`: one to three bytes per UTF-16 unit, four
// for a surrogate pair; no byte-order mark.
void appendUtf8(std::u16string_view units, std::string& out);

// Appends the UTF-16 units of the UTF-8 text `bytes`; four-byte sequences
// give a surrogate pair. Returns false, leaving `out` partly filled, when the
// text is not valid UTF-8: a byte that cannot start a sequence, a sequence
// cut short by a byte outside 0x80-0xBF or by the end of the text, an
// overlong form, an encoded surrogate or a value above U+10FFFF.
bool decodeUtf8(std::string_view bytes, std::u16string& out);

// The written form of `lines` (each line followed by CR LF), converted from
// the code page to UTF-8. Works through the text in pieces of 64 KiB, cut
// only at character boundaries, into one output string reserved up front.
std::string ansiToUtf8(const text::LineList& lines);

// The written form of `lines` decoded from UTF-8 and converted to the code
// page; characters the code page lacks become "?". Nothing when the text is
// not valid UTF-8 (see decodeUtf8). Same piecewise working as ansiToUtf8.
std::optional<std::string> utf8ToAnsi(const text::LineList& lines);

// The charset run: selection check; "新文件格式为空,请输入后再试!" (focus
// edtCharset) for an empty call; a call naming neither conversion ends the
// run silently (status Refused, no refusal, nothing touched). Otherwise the
// content job converts every marked file. A source that is not valid UTF-8
// under "toansi" gets no output and is not counted; after the closing
// message a second one, "以下文件不是有效的UTF-8编码,未转换:" followed by the
// paths one a line, names those files.
// Memory per file: the source lines plus the converted text (about 1.5 times
// the source for Chinese text to UTF-8, at most its size the other way).
OperationResult btnCharsetClick(const CharsetParams& params, Workspace& ws, Host& host);

} // namespace qv
