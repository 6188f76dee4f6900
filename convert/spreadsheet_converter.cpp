#include "convert/spreadsheet_converter.h"

#include "content/content_job.h"
#include "convert/sheet_text.h"
#include "text/run_error.h"

#include <algorithm>

namespace qv {
namespace {

constexpr std::size_t workbook97Rows = 65536;
constexpr std::size_t sheetRows = 1048576;

bool isText(SheetTarget target)
{
    return target == SheetTarget::CommaSeparatedText || target == SheetTarget::TabSeparatedText ||
           target == SheetTarget::CommaSeparatedUtf8;
}

char separatorOf(SheetTarget target)
{
    return target == SheetTarget::TabSeparatedText ? '\t' : ',';
}

// Why a converted comma-separated source is not written: its rows do not
// all fit the target, or fewer came back than went in. Empty when none were
// lost or the source cannot be read again (it was read a moment ago).
std::string lostRows(const FileSystem& fs, const std::string& source, const SheetResult& result, SheetTarget target)
{
    std::size_t rowsIn = 0;
    try {
        rowsIn = sheetRowCount(fs.readFile(source), ',');
    } catch (const RunError&) {
        return {};
    }
    const std::size_t limit = target == SheetTarget::Workbook97 ? workbook97Rows : sheetRows;
    std::size_t rowsOut = std::min(rowsIn, limit);
    if (isText(target)) rowsOut = std::min(rowsOut, sheetRowCount(result.bytes, separatorOf(target)));
    if (rowsOut >= rowsIn) return {};
    return programText("转换后缺少数据行,未写入:原文件 ") + std::to_string(rowsIn) + programText(" 行,转换后只有 ") +
           std::to_string(rowsOut) + programText(" 行");
}

// The bytes written to the converted path for the server's output.
std::string finished(std::string bytes, const SheetConversion& conversion)
{
    if (conversion.buildXml) return spreadsheetXml(bytes);
    if (conversion.to == SheetTarget::CommaSeparatedText || conversion.to == SheetTarget::TabSeparatedText)
        return withCrLfRecords(bytes);
    return bytes;
}

std::string failureReason(SheetResult::Status status)
{
    switch (status) {
    case SheetResult::Status::Unreadable: return programText("无法读取");
    case SheetResult::Status::TimedOut: return programText("转换超时");
    case SheetResult::Status::ServerDidNotStart: return programText("无法启动Excel");
    case SheetResult::Status::NotASpreadsheet:
    case SheetResult::Status::Stopped:
    case SheetResult::Status::Converted: break;
    }
    return programText("不是电子表格");
}

} // namespace

std::optional<SheetConversion> sheetConversionFor(Converter converter, std::string_view extension)
{
    const SheetSource from = converter == Converter::CsvTo ? SheetSource::CommaSeparatedText : SheetSource::Workbook;
    if (converter != Converter::XlsTo && converter != Converter::CsvTo) return std::nullopt;
    if (extension == "txt") return SheetConversion{from, SheetTarget::TabSeparatedText};
    if (extension == "htm") return SheetConversion{from, SheetTarget::Html};
    if (extension == "xml") return SheetConversion{from, SheetTarget::CommaSeparatedUtf8, true};
    if (converter == Converter::XlsTo && extension == "csv")
        return SheetConversion{from, SheetTarget::CommaSeparatedText};
    if (converter == Converter::CsvTo && extension == "xls") return SheetConversion{from, SheetTarget::Workbook97};
    return std::nullopt;
}

std::size_t sheetRowCount(std::string_view text, char separator)
{
    std::size_t rows = 0;
    std::size_t rowsWithCells = 0;
    bool rowHasCell = false;
    bool atCellStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (atCellStart && c == '"') {
            const std::size_t close = [&] {
                std::size_t at = i + 1;
                for (;; at += 2) {
                    at = text.find('"', at);
                    if (at == std::string_view::npos || at + 1 >= text.size() || text[at + 1] != '"') return at;
                }
            }();
            rowHasCell = true;
            atCellStart = false;
            if (close == std::string_view::npos) break; // an unclosed quote runs to the end
            i = close;
            continue;
        }
        if (c == '\n') {
            ++rows;
            if (rowHasCell) rowsWithCells = rows;
            rowHasCell = false;
            atCellStart = true;
            continue;
        }
        atCellStart = c == separator;
        if (c != separator && c != '\r') rowHasCell = true;
    }
    if (rowHasCell) rowsWithCells = rows + 1;
    return rowsWithCells;
}

std::vector<SheetOutcome> convertSheets(FileSystem& fs, const std::vector<SheetJob>& jobs,
                                        const SheetConversion& conversion, SpreadsheetServer& server,
                                        const std::function<bool()>& keepWaiting)
{
    std::vector<std::string> sources;
    for (const SheetJob& job : jobs) sources.push_back(job.source);
    std::vector<SheetResult> results = server.convert(sources, conversion.from, conversion.to, keepWaiting);
    results.resize(jobs.size());

    std::vector<SheetOutcome> outcomes(jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        SheetOutcome& outcome = outcomes[i];
        if (results[i].status != SheetResult::Status::Converted) {
            outcome.serverDidNotStart = results[i].status == SheetResult::Status::ServerDidNotStart;
            outcome.stopped = results[i].status == SheetResult::Status::Stopped;
            outcome.reason = failureReason(results[i].status);
            continue;
        }
        if (conversion.from == SheetSource::CommaSeparatedText) {
            outcome.reason = lostRows(fs, jobs[i].source, results[i], conversion.to);
            if (!outcome.reason.empty()) continue;
        }
        try {
            fs.writeFile(jobs[i].target, finished(std::move(results[i].bytes), conversion));
            outcome.converted = true;
        } catch (const RunError& error) {
            outcome.reason = error.what();
        }
    }
    return outcomes;
}

} // namespace qv
