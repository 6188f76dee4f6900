#pragma once
// Line sync: every source line that contains one of the user's keywords
// replaces the target line with the same line number. Works on the first two
// marked entries of the file list (source, then target), writes the target's
// output file and counts records, not files.

#include "content/content_job.h"
#include "operation/host.h"
#include "operation/workspace.h"
#include "text/line_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// What the page holds: the keyword text of edtLineKeys, code page 936.
struct LineSyncParams {
    std::string edtLineKeys;
};

struct LineSyncResult {
    text::LineList lines; // the target after the sync
    std::int64_t records = 0;
};

// For each source line n in order: at the first keyword that is not empty and
// occurs in the line (ASCII letters compared without regard to case), target
// line n becomes source line n as written and one record is counted. Calls
// host.processEvents() before each source line.
// A matching source line beyond the target's last line is a run error:
// RunError "源文件第 N 行含有关键字,但目标文件只有 M 行!" (N 1-based), and
// nothing is returned, so no output file is written.
// Cost: O(source bytes x keywords).
LineSyncResult syncLines(const text::LineList& source, const text::LineList& target,
                         const std::vector<std::string>& keywords, Host& host);

// The line sync run. Checks in order: selection check; empty keyword text
// "关键字为空,请输入后再试!" (focus edtLineKeys); fewer than two marked
// entries "请选择需要按关键字进行同步的两个文件！". Then reads both files,
// writes the synced target to the target's output file and shows
// "成功处理完成,共处理 N 条记录!". stChangeCount is not touched. Run errors
// propagate as RunError with no output written. The outcome's `processed` is
// the record count.
OperationResult btnLineSynClick(const LineSyncParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
