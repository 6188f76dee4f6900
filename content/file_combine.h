#pragma once
// File combine: the lines of every marked file, in display order, written to
// the output file of the last marked file (which itself is not changed).

#include "content/content_job.h"
#include "operation/host.h"
#include "operation/workspace.h"

namespace qv {

// The combine run: selection check; stChangeCount to 0; for each marked row
// (events processed before each row) the file's lines are written, every line
// ended by CR LF, to one output and stChangeCount goes up by one; then the
// output is put in place as the output file of the last marked path, and
// "成功处理完成,共处理 N 个文件!" is shown. A file without a final
// line break still contributes its last line whole, so the next file always
// starts on a new line.
// Nothing is written, and the last file is listed, when the output would
// replace one of the marked files; nothing either, the file listed, when a
// file changes while it is read (FileChangedWhileRead).
// A file that cannot be read ends the run with RunError before anything is
// written; stChangeCount then tells how many files were read.
// Memory: the files are streamed (see streamWrittenForm), so it does not grow with
// their sizes.
// The page has no controls: the files are the marked entries, in display order.
struct FileCombineParams { };

OperationResult btnFileCombineClick(const FileCombineParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
