#pragma once
// Key merge: the KeyName=Value lines of a source file carry their values into
// the lines of a target file that have the same key. Works on the first two
// marked entries of the file list (source, then target), writes the target's
// output file and counts records, not files.

#include "content/content_job.h"
#include "operation/host.h"
#include "operation/workspace.h"
#include "text/line_list.h"

#include <cstdint>
#include <string_view>

namespace qv {

// The key of a line: the bytes before its first "=", nothing trimmed. Empty
// for a line without "=" or whose first byte is "=" (such lines take no part).
std::string_view keyOf(std::string_view line);

struct KeyMergeResult {
    text::LineList lines; // the target after the merge
    std::int64_t records = 0;
};

// For every source line with a key, in order: the first target line with the
// same key (ASCII letters compared without regard to case) takes the source
// key as written, "=" and the value of the first source line with that key;
// when that value is empty the target line is deleted instead, so a later
// source line with the key finds the next target line that has it. Each
// match counts one record. Target lines whose key the source lacks stay as
// they are; source keys missing from the target are not added.
// Calls host.processEvents() before each source line.
// Cost: O(source + target) with one hash lookup per line.
KeyMergeResult mergeKeys(const text::LineList& source, const text::LineList& target, Host& host);

// The key merge run: selection check; "请选择需要按关键字进行合并的两个文件！"
// (error) when fewer than two entries are marked; otherwise reads both files,
// writes the merged target to the target's output file and shows
// "成功处理完成,共处理 N 条记录!". stChangeCount is not touched. Run errors
// (unreadable file, output not writable) propagate as RunError with no output
// written. The outcome's `processed` is the record count.
// The page has no controls: the two files are the first two marked entries.
struct KeyMergeParams { };

OperationResult btnSynClick(const KeyMergeParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
