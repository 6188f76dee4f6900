#include "convert/format_conversion.h"

#include "convert/contact_converter.h"
#include "convert/conversion_call.h"
#include "convert/conversion_plan.h"
#include "convert/spreadsheet_converter.h"
#include "convert/text_converter.h"
#include "operation/run_loop.h"
#include "platform/disk_name.h"
#include "text/output_path.h"

namespace qv {
namespace {

class ConversionRun {
public:
    ConversionRun(RunLoop& run, Host& host, FileSystem& fs, SpreadsheetServer& server)
        : run_(run), host_(host), fs_(fs), server_(server)
    { }

    // TxtTo and VcfTo: one file after the other.
    void convertEachText(const std::vector<ConversionStep>& steps, const ConversionCall& call)
    {
        walkItems(steps, run_, [&](const ConversionStep& step) {
            if (step.skipped()) {
                run_.skipped(step.source, step.skipReason);
            } else {
                try {
                    if (call.converter == Converter::VcfTo)
                        convertContacts(fs_, step.source, call.argument, host_);
                    else
                        convertText(fs_, step.source, call.argument, host_);
                    run_.processed();
                } catch (const FileChangedWhileRead&) {
                    run_.skipped(step.source, fileChangedReason());
                }
            }
            run_.advance();
        });
    }

    // XlsTo and CsvTo: every file through the server at once.
    void convertSheetsTogether(const std::vector<ConversionStep>& steps, const ConversionCall& call)
    {
        std::vector<SheetJob> jobs;
        std::vector<const ConversionStep*> converted;
        for (const ConversionStep& step : steps) {
            if (step.skipped()) {
                run_.skipped(step.source, step.skipReason);
                continue;
            }
            jobs.push_back({step.source, step.target});
            converted.push_back(&step);
        }
        if (jobs.empty()) return;
        const SheetConversion conversion = *sheetConversionFor(call.converter, newExtension(call.argument));
        const std::vector<SheetOutcome> outcomes = convertSheets(fs_, jobs, conversion, server_, [this] {
            host_.processEvents();
            return !host_.stopRequested();
        });
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            if (outcomes[i].stopped) {
                run_.stop();
                continue;
            }
            if (outcomes[i].serverDidNotStart) host_.showTitledError(programText("错误"), programText("无法启动Excel"));
            if (outcomes[i].converted)
                run_.processed();
            else
                run_.skipped(converted[i]->source, outcomes[i].reason);
        }
    }

private:
    RunLoop& run_;
    Host& host_;
    FileSystem& fs_;
    SpreadsheetServer& server_;
};

} // namespace

std::optional<Refusal> conversionRefusal(const ConvertParams& params)
{
    if (params.edtFileFormat.empty()) return Refusal{programText("新文件格式为空,请输入后再试!"), "edtFileFormat"};
    return std::nullopt;
}

std::optional<std::vector<ConversionStep>> checkedConversionPlan(const ConvertParams& params, const Workspace& ws,
                                                                 Host& host)
{
    if (!selectionCheck(ws, host)) return std::nullopt;
    if (auto refusal = conversionRefusal(params)) {
        refuse(host, std::move(*refusal));
        return std::nullopt;
    }
    return planConversion(parseConversionCall(params.edtFileFormat), ws.files);
}

std::string conversionClosingMessage(std::int64_t converted, std::size_t failed, std::string_view stopLine)
{
    std::string message = closingMessage(converted);
    if (!stopLine.empty()) message.append("\r\n").append(stopLine);
    if (failed > 0) message += "\r\n" + std::to_string(failed) + programText(" 个文件转换失败");
    return message;
}

OperationResult btnConvertClick(const ConvertParams& params, Workspace& ws, Host& host, FileSystem& fs,
                                SpreadsheetServer& server)
{
    OperationResult outcome;
    if (!selectionCheck(ws, host)) return outcome;
    if (auto refusal = conversionRefusal(params)) return refuse(host, std::move(*refusal));

    // The plan fixes the files when the run starts: events processed during
    // the run cannot change which files it converts.
    const ConversionCall call = parseConversionCall(params.edtFileFormat);
    const std::vector<ConversionStep> steps = planConversion(call, ws.files);
    RunLoop loop(ws, host, outcome, static_cast<std::int64_t>(steps.size()));
    ConversionRun run(loop, host, fs, server);
    if (call.converter == Converter::XlsTo || call.converter == Converter::CsvTo)
        run.convertSheetsTogether(steps, call);
    else
        run.convertEachText(steps, call);

    const std::string closing =
        conversionClosingMessage(ws.counters.stChangeCount, outcome.skipped.size(), stopNotice(outcome));
    if (outcome.skipped.empty())
        host.showMessage(MessageKind::Information, closing);
    else
        host.showMessageWithDetails(MessageKind::Information, closing, skippedDetails(outcome.skipped));
    return outcome;
}

} // namespace qv
