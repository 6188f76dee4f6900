#pragma once
// File statistics: the line counts of the one file at the grid's current row.
// Writes no file and leaves stChangeCount alone.

#include "operation/host.h"
#include "operation/workspace.h"
#include "platform/file_system.h"
#include "text/line_list.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace qv {

// The page's result boxes. Counts are 64-bit, so files of 2 GiB and more
// report their true size instead of a wrapped one.
struct FileStats {
    std::int64_t edtFileSize = 0;  // bytes of the file
    std::int64_t edtAllLine = 0;   // lines
    std::int64_t edtEmptyLine = 0; // lines of length 0
    std::int64_t edtDataLine = 0;  // every other line (blank lines included)
    std::int64_t edtCharMax = 0;   // longest data line, bytes
    std::int64_t edtCharMin = 50;  // shortest data line, bytes; starts at 50, not at the first line
    std::int64_t edtCharAve = 0;   // file size / data lines, truncated; 0 without data lines
    std::string edtFilename;       // full path, code page 936
};

// What the page reads from the window: the grid's current row.
struct FileStatsParams {
    std::size_t currentRow = 1;
};

// The counts of `lines`, a file of `fileSize` bytes (line breaks and empty
// lines are part of the average's dividend). Calls host.processEvents()
// before each line.
FileStats countLines(const text::LineList& lines, std::int64_t fileSize, Host& host);

// The statistics run: selection check; "请选择需要进行统计的文件！" (error) when
// the current row is not marked; otherwise reads the file, fills the results
// and shows "成功统计完成!". Nothing when refused. A file that cannot be read
// propagates RunError "Cannot open file %s".
// The size is the number of bytes read, which is the directory entry's size
// for a regular file.
std::optional<FileStats> btnFileInfoClick(const FileStatsParams& params, const Workspace& ws, Host& host,
                                          const FileSystem& fs);

} // namespace qv
