#pragma once
// The format conversion run ("文件格式转换"): every marked file converted by
// the call typed into edtFileFormat and written beside it under a new
// extension.
//
// After the selection check an empty call is refused with
// "新文件格式为空,请输入后再试!" (focus edtFileFormat). Then stChangeCount
// is set to 0 and the marked entries are converted in display order, pending
// events processed before each: ${TxtTo(s)} and ${VcfTo(s)} file by file,
// ${XlsTo(s)} and ${CsvTo(s)} all together through the spreadsheet server,
// which starts as few times as it can. An entry counts only when its
// converted file was written. The others are failures: an empty extension
// or one outside the converter's table, a call naming no converter, a
// converted path naming the source or another marked entry (see
// planConversion), a source that changed while it was read, a source
// the server could not read, open or convert in time; when the server
// cannot be started, each affected entry shows "无法启动Excel" titled "错误".
// The run ends with "成功处理完成,共处理 N 个文件!", with a second line
// "M 个文件转换失败" when M entries failed, followed by a message listing
// each failed file and its reason.
//
// Run errors of the text and contact converters (a source that cannot be
// read, an output that cannot be written) end the run as in a content job:
// what was written stays and stChangeCount tells how many files.

#include "content/content_job.h"
#include "convert/conversion_plan.h"
#include "operation/host.h"
#include "operation/workspace.h"
#include "platform/spreadsheet_server.h"

#include <string>
#include <string_view>

namespace qv {

// What the page holds: the conversion call, code page 936.
struct ConvertParams {
    std::string edtFileFormat;
};

// "新文件格式为空,请输入后再试!" (focus edtFileFormat) for an empty call.
std::optional<Refusal> conversionRefusal(const ConvertParams& params);

// What the run would do: after the selection check and the refusal (shown
// through `host`, nothing returned), the plan of planConversion. Reads no
// file and starts no server.
std::optional<std::vector<ConversionStep>> checkedConversionPlan(const ConvertParams& params, const Workspace& ws,
                                                                 Host& host);

// Runs the conversion; `skipped` of the outcome lists the failed entries.
OperationResult btnConvertClick(const ConvertParams& params, Workspace& ws, Host& host, FileSystem& fs,
                                SpreadsheetServer& server);

// The closing message: the content job's first line, the stop notice of a
// stopped run (see stopNotice), and when `failed` is not zero a line
// "<failed> 个文件转换失败" (CR LF between lines).
std::string conversionClosingMessage(std::int64_t converted, std::size_t failed, std::string_view stopLine = {});

} // namespace qv
