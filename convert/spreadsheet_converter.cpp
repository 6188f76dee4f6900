#include "convert/spreadsheet_converter.h"

#include "content/content_job.h"
#include "convert/sheet_text.h"
#include "text/run_error.h"

namespace qv {
namespace {

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

std::vector<SheetOutcome> convertSheets(FileSystem& fs, const std::vector<SheetJob>& jobs,
                                        const SheetConversion& conversion, SpreadsheetServer& server,
                                        const std::function<void()>& whileWaiting)
{
    std::vector<std::string> sources;
    for (const SheetJob& job : jobs) sources.push_back(job.source);
    std::vector<SheetResult> results = server.convert(sources, conversion.from, conversion.to, whileWaiting);
    results.resize(jobs.size());

    std::vector<SheetOutcome> outcomes(jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        SheetOutcome& outcome = outcomes[i];
        if (results[i].status != SheetResult::Status::Converted) {
            outcome.serverDidNotStart = results[i].status == SheetResult::Status::ServerDidNotStart;
            outcome.reason = failureReason(results[i].status);
            continue;
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
