#include "convert/format_conversion.h"

#include "convert/contact_converter.h"
#include "convert/conversion_call.h"
#include "convert/spreadsheet_converter.h"
#include "convert/text_converter.h"
#include "operation/run_loop.h"
#include "platform/disk_name.h"

namespace qv {
namespace {

struct Entry {
    std::string path;
};

// The marked entries, in display order, taken when the run starts: events
// processed during the run cannot change which files it converts.
std::vector<Entry> markedEntries(const FileList& files)
{
    std::vector<Entry> entries;
    forEachMarkedRow(files, [&](std::size_t row) { entries.push_back({files.fullPath(row)}); });
    return entries;
}

class ConversionRun {
public:
    ConversionRun(RunLoop& run, Host& host, FileSystem& fs, SpreadsheetServer& server)
        : run_(run), host_(host), fs_(fs), server_(server)
    { }

    void failed(const Entry& entry, std::string reason) { run_.skipped(shownPath(entry.path), std::move(reason)); }

    // TxtTo and VcfTo: one file after the other.
    void convertEachText(const std::vector<Entry>& entries, const ConversionCall& call)
    {
        const std::string extension = newExtension(call.argument);
        const bool contacts = call.converter == Converter::VcfTo;
        walkItems(entries, run_, [&](const Entry& entry) {
            if (extension.empty()) {
                failed(entry, programText("没有新的扩展名"));
            } else if (contacts && !isContactTableExtension(extension)) {
                failed(entry, programText("不支持转换为此格式"));
            } else {
                if (contacts)
                    convertContacts(fs_, entry.path, call.argument, host_);
                else
                    convertText(fs_, entry.path, call.argument, host_);
                run_.processed();
            }
            run_.advance();
        });
    }

    // XlsTo and CsvTo: every file through the server at once.
    void convertSheetsTogether(const std::vector<Entry>& entries, const ConversionCall& call)
    {
        const std::string extension = newExtension(call.argument);
        const std::optional<SheetConversion> conversion = sheetConversionFor(call.converter, extension);
        if (!conversion) {
            for (const Entry& entry : entries)
                failed(entry, programText(extension.empty() ? "没有新的扩展名" : "不支持转换为此格式"));
            return;
        }
        std::vector<SheetJob> jobs;
        for (const Entry& entry : entries) jobs.push_back({entry.path, convertedPath(entry.path, extension)});
        const std::vector<SheetOutcome> outcomes =
            convertSheets(fs_, jobs, *conversion, server_, [this] { host_.processEvents(); });
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (outcomes[i].serverDidNotStart) host_.showTitledError(programText("错误"), programText("无法启动Excel"));
            if (outcomes[i].converted)
                run_.processed();
            else
                failed(entries[i], outcomes[i].reason);
        }
    }

private:
    RunLoop& run_;
    Host& host_;
    FileSystem& fs_;
    SpreadsheetServer& server_;
};

} // namespace

std::string conversionClosingMessage(std::int64_t converted, std::size_t failed)
{
    std::string message = closingMessage(converted);
    if (failed > 0) message += "\r\n" + std::to_string(failed) + programText(" 个文件转换失败");
    return message;
}

OperationResult btnConvertClick(const ConvertParams& params, Workspace& ws, Host& host, FileSystem& fs,
                                SpreadsheetServer& server)
{
    OperationResult outcome;
    if (!selectionCheck(ws, host)) return outcome;
    if (params.edtFileFormat.empty())
        return refuse(host, {programText("新文件格式为空,请输入后再试!"), "edtFileFormat"});

    const std::vector<Entry> entries = markedEntries(ws.files);
    RunLoop loop(ws, host, outcome, static_cast<std::int64_t>(entries.size()));
    const ConversionCall call = parseConversionCall(params.edtFileFormat);
    ConversionRun run(loop, host, fs, server);
    switch (call.converter) {
    case Converter::TxtTo:
    case Converter::VcfTo: run.convertEachText(entries, call); break;
    case Converter::XlsTo:
    case Converter::CsvTo: run.convertSheetsTogether(entries, call); break;
    case Converter::None:
        for (const Entry& entry : entries) run.failed(entry, programText("不是可识别的转换"));
        break;
    }

    const std::string closing = conversionClosingMessage(ws.counters.stChangeCount, outcome.skipped.size());
    if (outcome.skipped.empty())
        host.showMessage(MessageKind::Information, closing);
    else
        host.showMessageWithDetails(MessageKind::Information, closing, skippedDetails(outcome.skipped));
    return outcome;
}

} // namespace qv
